<?php
// Connections to the databases of this site; every page includes this file first.

$qfDbHost = "{yzt_db_hostname}";
$qfDbUser = "{yzt_db_username}";
$qfDbPassword = "{yzt_db_password}";
$qfDbPort = {yzt_db_port};

if (!function_exists('qfDbConnect')) {
    // An open connection, or a short error page and the end of the request:
    // no page can work without its database.
    function qfDbConnect(string $host, string $user, string $password, int $port, string $database): mysqli
    {
        // Failures as exceptions while connecting (no PHP warning), quiet
        // false results afterwards for the pages' own checks.
        mysqli_report(MYSQLI_REPORT_ERROR | MYSQLI_REPORT_STRICT);
        try {
            $link = new mysqli($host, $user, $password, $database, $port);
            $link->set_charset('utf8mb4');
            return $link;
        } catch (mysqli_sql_exception $e) {
            if (!headers_sent()) {
                http_response_code(503);
                header('Content-Type: text/html; charset=UTF-8');
            }
            $flags = ENT_QUOTES | ENT_SUBSTITUTE;
            echo "<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\"><title>Database error</title></head>\n<body>\n",
                '<p>Could not connect to the database &quot;', htmlspecialchars($database, $flags, 'UTF-8'), '&quot;: ',
                htmlspecialchars($e->getMessage(), $flags, 'UTF-8'), "</p>\n</body>\n</html>\n";
            exit;
        } finally {
            mysqli_report(MYSQLI_REPORT_OFF);
        }
    }
}

<!-- START BLOCK : yzt_db_objects -->
{yzt_db_name_var} = "{yzt_db_name_php}";
{yzt_db_link} = qfDbConnect($qfDbHost, $qfDbUser, $qfDbPassword, $qfDbPort, {yzt_db_name_var});
<!-- END BLOCK : yzt_db_objects -->
