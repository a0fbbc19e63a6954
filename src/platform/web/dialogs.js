// The page's setup dialog and message boxes: HTML windows made from the program's template and
// texts. The program's dialog manager decides what a key, a click or a close box does; the
// page reports them and draws which control is ticked and which has the focus.
"use strict";

(function (page) {
  const { el, mnemonicText, keyEvent, frameWindow, makeQueue, paintRgb, fullscreenElement,
          fitWindow } = page.shared;

  // The dialogs and boxes up, the topmost last: it takes the keys, and its controls' clicks
  // and its close box are the events the program waits for.
  const open = [];
  const events = makeQueue();
  const top = () => open[open.length - 1] || null;

  // While a dialog or box is up its keys are its own, the render window's never (Windows'
  // modal loop): they stop here, before the window's listeners.
  function onKey(e) {
    if (!open.length) return;
    e.stopPropagation();
    events.push(keyEvent(e, e.type === "keydown"));
  }
  document.addEventListener("keydown", onKey, true);
  document.addEventListener("keyup", onKey, true);

  const report = (modal, event) => top() === modal && events.push(event);

  function begin(modal) {
    open.push(modal);
    events.clear();
    return modal;
  }

  function close(modal) {
    const i = open.indexOf(modal);
    if (i >= 0) open.splice(i, 1);
    (modal.box || modal.window.frame).remove();
  }

  // A control that clicks, as the index of its place in the dialog or box. The browser may tick
  // it on the way; the program draws what it decides afterwards.
  function addControl(modal, control, clicked) {
    const index = modal.controls.length;
    modal.controls.push(control);
    if (clicked) clicked.addEventListener("click", () => report(modal, { kind: "click", index }));
  }

  page.nextDialogEvent = () => events.next();

  page.drawControl = function (index, checked, focused) {
    const c = top() && top().controls[index];
    if (!c) return;
    if (c.input) c.input.checked = checked;
    c.node.classList.toggle("lw-focused", focused);
    const target = c.input || c.node;
    if (focused && document.activeElement !== target) target.focus({ preventScroll: true });
  };

  // ---- The setup dialog -------------------------------------------------------------------

  let dialog = null;

  page.beginDialog = function (caption, font, points, width, height, centred) {
    const modal = { controls: [] };
    modal.window = frameWindow("lw-dialog", caption, () => report(modal, { kind: "close" }));
    const w = modal.window;
    w.frame.setAttribute("role", "dialog");
    w.client.style.width = width + "px";
    w.client.style.height = height + "px";
    w.client.style.font = points + 'pt "' + font + '", Tahoma, "DejaVu Sans", sans-serif';
    if (centred) w.frame.classList.add("lw-centred");
    dialog = begin(modal);
  };

  // Controls in the template's order, each at its rectangle. None is a tab stop of the
  // browser's: the program moves the focus.
  page.addControl = function (id, kind, text, x, y, width, height, centred, sunken) {
    const client = dialog.window.client;
    let node, input = null, clicked = null;
    if (kind === "default-button") {
      node = clicked = el("button", "lw-button lw-default", client);
      node.type = "button";
      mnemonicText(node, text);
    } else if (kind === "radio" || kind === "check") {
      node = el("label", "lw-" + kind, client);
      input = clicked = el("input", null, node);
      input.type = kind === "radio" ? "radio" : "checkbox";
      mnemonicText(el("span", null, node), text);
    } else if (kind === "group") {
      node = el("fieldset", "lw-group", client);
      const legend = el("legend", null, node);
      mnemonicText(legend, text);
      if (centred) legend.classList.add("lw-centred-legend");
    } else {
      node = el("div", "lw-picture" + (sunken ? " lw-sunken" : ""), client);
      el("canvas", null, node);
    }
    node.style.left = x + "px";
    node.style.top = y + "px";
    node.style.width = width + "px";
    node.style.height = height + "px";
    if (input || clicked) (input || clicked).tabIndex = -1;
    addControl(dialog, { id, kind, node, input }, clicked);
  };

  // Sizes the picture's canvas to size x size and fills it with rgb's pixels (3 bytes each,
  // rows top down).
  page.setPicture = function (id, rgb, size) {
    const c = dialog.controls.findLast((x) => x.id === id && x.kind === "picture");
    if (c) paintRgb(c.node.querySelector("canvas"), rgb, size, size);
  };

  page.showDialog = function () {
    document.getElementById("lw-desktop").appendChild(dialog.window.frame);
    fitWindow(dialog.window.frame);
    page.setStatus("dialog");
    // How long the page took to reach the dialog, for whoever measures it.
    if (!performance.getEntriesByName("lanternwhirl-dialog").length)
      performance.mark("lanternwhirl-dialog");
  };

  page.closeDialog = function () {
    if (dialog) close(dialog);
    dialog = null;
  };

  // ---- Message boxes ----------------------------------------------------------------------

  const iconGlyph = { stop: "\u2716", question: "?", exclamation: "!", information: "i" };

  page.openBox = function (caption, text, icon, closeBox) {
    const modal = { controls: [], box: el("div", "lw-modal") };
    const w = frameWindow("lw-box lw-centred", caption,
                          closeBox ? () => report(modal, { kind: "close" }) : null);
    modal.window = w;
    w.frame.setAttribute("role", "alertdialog");
    modal.box.appendChild(w.frame);
    const body = el("div", "lw-box-body", w.client);
    if (icon) el("div", "lw-icon lw-icon-" + icon, body).textContent = iconGlyph[icon] || "";
    el("div", "lw-box-text", body).textContent = text.replace(/\n$/, "");
    modal.row = el("div", "lw-box-buttons", w.client);
    // Over full screen the box goes inside it: anywhere else it would wait unseen behind.
    (fullscreenElement() || document.body).appendChild(modal.box);
    begin(modal);
  };

  page.addBoxButton = function (label, isDefault) {
    const modal = top();
    const b = el("button", "lw-button" + (isDefault ? " lw-default" : ""), modal.row);
    b.type = "button";
    b.tabIndex = -1;
    mnemonicText(b, label);
    addControl(modal, { node: b, input: null }, b);
    fitWindow(modal.window.frame);
  };

  page.closeBox = function () {
    const modal = top();
    if (modal && modal.box) close(modal);
  };
})(lanternwhirlPage);
