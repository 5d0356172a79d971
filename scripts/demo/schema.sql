-- The demo database of scripts/run: a small lending library.

SET NAMES utf8mb4;
DROP DATABASE IF EXISTS `library`;
CREATE DATABASE `library` CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci;
USE `library`;

CREATE TABLE `authors` (
  `id`      INT NOT NULL AUTO_INCREMENT,
  `name`    VARCHAR(80) NOT NULL,
  `country` ENUM('England','France','Germany','Ireland','Russia','USA') NOT NULL DEFAULT 'England',
  `born`    SMALLINT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB;

CREATE TABLE `books` (
  `id`        INT NOT NULL AUTO_INCREMENT,
  `title`     VARCHAR(120) NOT NULL,
  `author_id` INT NOT NULL,
  `genres`    SET('novel','poetry','drama','travel','children') NOT NULL DEFAULT 'novel',
  `published` SMALLINT NULL,
  `copies`    TINYINT NOT NULL DEFAULT 1,
  `notes`     TEXT NULL,
  PRIMARY KEY (`id`),
  KEY (`author_id`)
) ENGINE=InnoDB;

CREATE TABLE `members` (
  `id`     INT NOT NULL AUTO_INCREMENT,
  `name`   VARCHAR(80) NOT NULL,
  `email`  VARCHAR(120) NULL,
  `joined` DATE NOT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB;

CREATE TABLE `loans` (
  `book_id`   INT NOT NULL,
  `member_id` INT NOT NULL,
  `lent_on`   DATE NOT NULL,
  `due_on`    DATE NOT NULL,
  `returned`  TINYINT(1) NOT NULL DEFAULT 0,
  PRIMARY KEY (`book_id`, `member_id`, `lent_on`)
) ENGINE=InnoDB;

INSERT INTO `authors` (`id`, `name`, `country`, `born`) VALUES
  (1, 'Jane Austen', 'England', 1775),
  (2, 'Victor Hugo', 'France', 1802),
  (3, 'Theodor Fontane', 'Germany', 1819),
  (4, 'W. B. Yeats', 'Ireland', 1865),
  (5, 'Anton Chekhov', 'Russia', 1860),
  (6, 'Mark Twain', 'USA', 1835);

INSERT INTO `books` (`id`, `title`, `author_id`, `genres`, `published`, `copies`, `notes`) VALUES
  (1, 'Pride and Prejudice', 1, 'novel', 1813, 3, NULL),
  (2, 'Emma', 1, 'novel', 1815, 1, 'Spine repaired.'),
  (3, 'Les Misérables', 2, 'novel', 1862, 2, NULL),
  (4, 'Effi Briest', 3, 'novel', 1895, 1, NULL),
  (5, 'Wanderungen durch die Mark Brandenburg', 3, 'travel', 1862, 1, 'Five volumes in one.'),
  (6, 'The Wild Swans at Coole', 4, 'poetry', 1917, 2, NULL),
  (7, 'The Cherry Orchard', 5, 'drama', 1904, 1, NULL),
  (8, 'The Adventures of Tom Sawyer', 6, 'novel,children', 1876, 4, NULL),
  (9, 'Life on the Mississippi', 6, 'travel', 1883, 1, NULL);

INSERT INTO `members` (`id`, `name`, `email`, `joined`) VALUES
  (1, 'Ada Brook', 'ada@example.org', '2023-02-11'),
  (2, 'Ben O''Neill', NULL, '2023-09-30'),
  (3, 'Chloé Martin', 'chloe@example.org', '2024-05-02');

INSERT INTO `loans` (`book_id`, `member_id`, `lent_on`, `due_on`, `returned`) VALUES
  (1, 1, '2024-06-01', '2024-06-22', 1),
  (8, 2, '2024-06-10', '2024-07-01', 0),
  (6, 3, '2024-06-12', '2024-07-03', 0);
