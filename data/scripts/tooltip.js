// Hint boxes: EnterContent fills the box, Activate shows it beside the mouse
// pointer until deActivate. The texts are set as plain text, never as HTML.

var qfTip = null;
var qfTipShown = false;
var qfMouseX = 0;
var qfMouseY = 0;

function qfTipPlace() {
  if (!qfTip || !qfTipShown) return;
  var x = qfMouseX + 14;
  var right = window.scrollX + document.documentElement.clientWidth;
  if (x + qfTip.offsetWidth > right) x = Math.max(window.scrollX, qfMouseX - qfTip.offsetWidth - 8);
  qfTip.style.left = x + 'px';
  qfTip.style.top = (qfMouseY + 14) + 'px';
}

function qfTipMove(event) {
  qfMouseX = event.pageX;
  qfMouseY = event.pageY;
  qfTipPlace();
}

function EnterContent(layerId, title, text) {
  var box = document.getElementById(layerId);
  if (!box) {
    box = document.createElement('div');
    box.id = layerId;
    document.body.appendChild(box);
  }
  box.className = 'qf-tooltip';
  box.setAttribute('role', 'tooltip');
  box.replaceChildren();
  var head = document.createElement('div');
  head.className = 'qf-tooltip-title';
  head.textContent = title === undefined || title === null ? '' : String(title);
  var body = document.createElement('div');
  body.className = 'qf-tooltip-text';
  body.textContent = text === undefined || text === null ? '' : String(text);
  box.appendChild(head);
  box.appendChild(body);
  qfTip = box;
}

function Activate() {
  if (!qfTip) return;
  qfTipShown = true;
  qfTip.style.display = 'block';
  qfTipPlace();
}

function deActivate() {
  qfTipShown = false;
  if (qfTip) qfTip.style.display = 'none';
}

document.addEventListener('mousemove', qfTipMove);
