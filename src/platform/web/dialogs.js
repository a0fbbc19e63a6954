// The page's setup dialog and message boxes: HTML windows made from the program's template and
// texts, answering the keys a Windows dialog manager answers.
"use strict";

(function (page) {
  const IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;
  const MB_YESNO = 0x04;
  const closeRequest = -1;
  const { el, mnemonicText, keyLetter, frameWindow, makeQueue, paintRgb, fullscreenElement,
          fitWindow } = page.shared;

  // ---- The setup dialog -------------------------------------------------------------------

  let dialog = null;
  const dialogEvents = makeQueue();

  page.beginDialog = function (caption, font, points, width, height, centred) {
    const w = frameWindow("lw-dialog", caption, () => dialogEvents.push(closeRequest));
    w.frame.setAttribute("role", "dialog");
    w.client.style.width = width + "px";
    w.client.style.height = height + "px";
    w.client.style.font = points + 'pt "' + font + '", Tahoma, "DejaVu Sans", sans-serif';
    if (centred) w.frame.classList.add("lw-centred");
    // Controls in the template's order; static ones share the id -1.
    dialog = { window: w, controls: [], defaultId: IDOK, radioGroup: 0, lastWasRadio: false,
               keyHandler: null };
  };

  page.addControl = function (id, kind, text, x, y, width, height, tabStop, centred, sunken) {
    const d = dialog;
    let node, input = null, mnemonic = "";
    const place = (n) => {
      n.style.left = x + "px";
      n.style.top = y + "px";
      n.style.width = width + "px";
      n.style.height = height + "px";
    };
    if (kind === "default-button") {
      node = el("button", "lw-button lw-default", d.window.client);
      node.type = "button";
      mnemonic = mnemonicText(node, text);
      d.defaultId = id;
      node.addEventListener("click", () => dialogEvents.push(id));
    } else if (kind === "radio" || kind === "check") {
      node = el("label", "lw-" + kind, d.window.client);
      input = el("input", null, node);
      input.type = kind === "radio" ? "radio" : "checkbox";
      if (kind === "radio") {
        if (!d.lastWasRadio) ++d.radioGroup;
        input.name = "lw-group-" + d.radioGroup;
      }
      mnemonic = mnemonicText(el("span", null, node), text);
      input.addEventListener("click", () => dialogEvents.push(id));
    } else if (kind === "group") {
      node = el("fieldset", "lw-group", d.window.client);
      const legend = el("legend", null, node);
      mnemonicText(legend, text);
      if (centred) legend.classList.add("lw-centred-legend");
    } else {
      node = el("div", "lw-picture" + (sunken ? " lw-sunken" : ""), d.window.client);
      el("canvas", null, node);
    }
    place(node);
    const focusable = input || (kind === "default-button" ? node : null);
    if (focusable) focusable.tabIndex = tabStop || kind === "radio" ? 0 : -1;
    d.lastWasRadio = kind === "radio";
    d.controls.push({ id, kind, node, input, mnemonic });
  };

  // Sizes canvas to width x height and fills it with rgb's pixels (3 bytes each, rows top down).

  page.setPicture = function (id, rgb, size) {
    const c = dialog.controls.findLast((x) => x.id === id && x.kind === "picture");
    if (!c) return;
    paintRgb(c.node.querySelector("canvas"), rgb, size, size);
  };

  const inputOf = (id) => dialog && dialog.controls.find((x) => x.id === id && x.input);

  page.isChecked = function (id) {
    const c = inputOf(id);
    return !!(c && c.input && c.input.checked);
  };

  page.setChecked = function (id, checked) {
    const c = inputOf(id);
    if (c && c.input) c.input.checked = checked;
  };

  // The keys a Windows dialog manager handles itself: Alt with a mnemonic clicks its control,
  // Enter is the default button's command, Escape the Cancel command, Alt+F4 the close box.
  function dialogKey(e) {
    if (!dialog || modalBox) return;
    const d = dialog;
    const plain = !e.altKey && !e.ctrlKey && !e.metaKey && !e.shiftKey;
    if (e.key === "Escape" && plain) {
      e.preventDefault();
      dialogEvents.push(IDCANCEL);
    } else if (e.key === "Enter" && plain) {
      e.preventDefault();
      dialogEvents.push(d.defaultId);
    } else if (e.altKey && !e.ctrlKey && !e.metaKey && e.key === "F4") {
      e.preventDefault();
      dialogEvents.push(closeRequest);
    } else if (e.altKey && !e.ctrlKey && !e.metaKey) {
      const letter = keyLetter(e);
      for (const c of d.controls) {
        if (!letter || c.mnemonic !== letter) continue;
        e.preventDefault();
        if (c.input) {
          c.input.focus();
          c.input.click(); // toggles or selects it, and reports the click
        } else if (c.kind === "default-button") {
          c.node.focus();
          dialogEvents.push(c.id);
        }
        break;
      }
    }
  }

  page.showDialog = function (foreground) {
    const d = dialog;
    dialogEvents.clear();
    document.getElementById("lw-desktop").appendChild(d.window.frame);
    d.keyHandler = dialogKey;
    document.addEventListener("keydown", d.keyHandler);
    fitWindow(d.window.frame);
    // The first control with a tab stop has the focus, as in a Windows dialog.
    const first = d.window.client.querySelector("[tabindex='0']");
    if (first && foreground) first.focus();
    page.setStatus("dialog");
    // How long the page took to reach the dialog, for whoever measures it.
    if (!performance.getEntriesByName("lanternwhirl-dialog").length)
      performance.mark("lanternwhirl-dialog");
  };

  page.nextDialogEvent = function () {
    return dialogEvents.next();
  };

  page.closeDialog = function () {
    if (!dialog) return;
    document.removeEventListener("keydown", dialog.keyHandler);
    dialog.window.frame.remove();
    dialog = null;
  };

  // ---- Message boxes ----------------------------------------------------------------------

  let modalBox = null;
  const iconOf = { 0x10: "stop", 0x20: "question", 0x30: "exclamation", 0x40: "information" };
  const iconGlyph = { stop: "\u2716", question: "?", exclamation: "!", information: "i" };

  // Resolves with the button's result. The first button is the default; Escape answers an OK
  // box with OK and does nothing in a Yes/No box, which has no Cancel.
  page.messageBox = function (caption, text, type) {
    const yesNo = (type & 0x0f) === MB_YESNO;
    // Nobody answers boxes while the page plays one of its own modes: the default button.
    if (page.mode) return Promise.resolve(yesNo ? IDYES : IDOK);
    return new Promise((resolve) => {
      const box = el("div", "lw-modal");
      let answer;
      const w = frameWindow("lw-box lw-centred", caption, yesNo ? null : () => answer(IDOK));
      w.frame.setAttribute("role", "alertdialog");
      box.appendChild(w.frame);
      const body = el("div", "lw-box-body", w.client);
      const icon = iconOf[type & 0xf0];
      if (icon) {
        const i = el("div", "lw-icon lw-icon-" + icon, body);
        i.textContent = iconGlyph[icon];
      }
      const message = el("div", "lw-box-text", body);
      message.textContent = text.replace(/\n$/, "");
      const row = el("div", "lw-box-buttons", w.client);
      const buttons = (yesNo ? [["&Yes", IDYES], ["&No", IDNO]] : [["OK", IDOK]]).map(
        ([label, result]) => {
          const b = el("button", "lw-button", row);
          b.type = "button";
          const mnemonic = mnemonicText(b, label);
          b.addEventListener("click", () => answer(result));
          return { b, mnemonic, result };
        });
      const onKey = (e) => {
        e.stopPropagation();
        const letter = keyLetter(e);
        const hit = buttons.find((x) => x.mnemonic && x.mnemonic === letter && !e.ctrlKey);
        if (e.key === "Escape") {
          e.preventDefault();
          if (!yesNo) answer(IDOK);
        } else if (e.key === "Enter") {
          e.preventDefault();
          const focused = buttons.find((x) => x.b === document.activeElement) || buttons[0];
          answer(focused.result);
        } else if (hit) {
          e.preventDefault();
          answer(hit.result);
        }
      };
      const previous = modalBox;
      answer = (result) => {
        document.removeEventListener("keydown", onKey, true);
        box.remove();
        modalBox = previous;
        resolve(result);
      };
      document.addEventListener("keydown", onKey, true);
      // Over full screen the box goes inside it: anywhere else it would wait unseen behind.
      (fullscreenElement() || document.body).appendChild(box);
      fitWindow(w.frame);
      modalBox = box;
      buttons[0].b.classList.add("lw-default");
      buttons[0].b.focus();
    });
  };

  // True while a message box waits for its answer.
  page.boxOpen = () => modalBox !== null;
})(lanternwhirlPage);
