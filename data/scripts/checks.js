// Field checks of the generated forms. Each returns true when the value is
// acceptable and otherwise shows the error text and returns false. An empty
// value fails only when the field is required.

function qfValue(field) {
  if (!field || field.value === undefined || field.value === null) return '';
  return String(field.value).trim();
}

function qfCheck(field, err, req, test) {
  var value = qfValue(field);
  if (value === '') {
    if (!req) return true;
  } else if (test(value)) {
    return true;
  }
  if (err) alert(err);
  return false;
}

function checkInt(field, err, req) {
  return qfCheck(field, err, req, function (v) { return /^[+-]?\d+$/.test(v); });
}

function checkFloat(field, err, req) {
  return qfCheck(field, err, req, function (v) {
    return /^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$/.test(v);
  });
}

function checkPrice(field, err, req) {
  return qfCheck(field, err, req, function (v) { return /^\d+(\.\d{1,2})?$/.test(v); });
}

function checkEmail(field, err, req) {
  return qfCheck(field, err, req, function (v) {
    return /^[^\s@]+@[^\s@.]+(\.[^\s@.]+)+$/.test(v);
  });
}

// Letters, blanks and the marks that names hold (apostrophe, hyphen, dot).
function checkChar(field, err, req) {
  return qfCheck(field, err, req, function (v) { return /^[\p{L}\p{M}\s.'-]+$/u.test(v); });
}

function checkPostalCode(field, err, req) {
  return qfCheck(field, err, req, function (v) { return /^[A-Za-z0-9](?:[A-Za-z0-9 -]{1,9})$/.test(v); });
}

function checkURL(field, err, req) {
  return qfCheck(field, err, req, function (v) {
    if (!/^(https?|ftp):\/\/[^\s]+$/i.test(v)) return false;
    try {
      return new URL(v).hostname !== '';
    } catch (e) {
      return false;
    }
  });
}

function qfIsIPv4(v) {
  var parts = v.split('.');
  if (parts.length !== 4) return false;
  for (var i = 0; i < 4; i++) {
    if (!/^(0|[1-9]\d{0,2})$/.test(parts[i]) || Number(parts[i]) > 255) return false;
  }
  return true;
}

function qfIsIPv6(v) {
  var halves = v.split('::');
  if (halves.length > 2) return false;
  var groups = [];
  for (var h = 0; h < halves.length; h++) {
    if (halves[h] !== '') groups = groups.concat(halves[h].split(':'));
  }
  var count = 0;
  for (var i = 0; i < groups.length; i++) {
    if (i === groups.length - 1 && groups[i].indexOf('.') >= 0) {
      if (!qfIsIPv4(groups[i])) return false;
      count += 2;
    } else if (/^[0-9A-Fa-f]{1,4}$/.test(groups[i])) {
      count += 1;
    } else {
      return false;
    }
  }
  return halves.length === 2 ? count < 8 : count === 8;
}

function checkIP(field, err, req) {
  return qfCheck(field, err, req, function (v) { return qfIsIPv4(v) || qfIsIPv6(v); });
}

function checkIntRange(field, min, max, err, req) {
  return qfCheck(field, err, req, function (v) {
    if (!/^[+-]?\d+$/.test(v)) return false;
    var n = Number(v);
    return n >= Number(min) && n <= Number(max);
  });
}

function checkComboSelect(field, err, req) {
  return qfCheck(field, err, req, function () { return true; });
}

function qfAnyChecked(boxes) {
  for (var i = 0; i < boxes.length; i++) {
    if (boxes[i].checked) return true;
  }
  return false;
}

function qfGroupCheck(anyChecked, err, req) {
  if (anyChecked || !req) return true;
  if (err) alert(err);
  return false;
}

function checkRadioGroup(name, err, req) {
  return qfGroupCheck(qfAnyChecked(document.getElementsByName(name)), err, req);
}

// The boxes of a group are named name-i1, name-i2, ...
function checkCheckboxGroup(name, err, req) {
  var boxes = [];
  for (var i = 1; ; i++) {
    var found = document.getElementsByName(name + '-i' + i);
    if (found.length === 0) break;
    for (var j = 0; j < found.length; j++) boxes.push(found[j]);
  }
  return qfGroupCheck(qfAnyChecked(boxes), err, req);
}
