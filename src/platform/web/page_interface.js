// The page's side of page_interface.h, linked into the program (--js-library). Each function
// only converts the program's values and calls the page's scripts (lanternwhirlPage); the build
// checks that every lanternwhirlPage function named here exists.
mergeInto(LibraryManager.library, {
  lwPageParameter: function (name) {
    const value = lanternwhirlPage.params.get(UTF8ToString(name));
    return value == null ? 0 : stringToNewUTF8(value);
  },
  lwPagePublish: function (name, json) {
    window[UTF8ToString(name)] = JSON.parse(UTF8ToString(json));
  },
  lwPagePngUrl: function (rgb, width, height) {
    return stringToNewUTF8(
      lanternwhirlPage.pngDataUrl(HEAPU8.subarray(rgb, rgb + width * height * 3), width, height));
  },
  lwPageBytesUrl: function (bytes, size, mediaType) {
    return stringToNewUTF8(
      lanternwhirlPage.dataUrl(HEAPU8.subarray(bytes, bytes + size), UTF8ToString(mediaType)));
  },
  lwWaitNextFrame: function () {
    return Asyncify.handleAsync(() => lanternwhirlPage.nextFrame());
  },

  // A neutral event of the page as page_interface.h's PageEvent: the kind's number in the
  // order of PageEventKind, then the fields in the record's order.
  $lwPageWriteEvent: function (event, e) {
    const kinds = ["key", "pointer", "focus", "visibility", "resize", "close", "click"];
    const fields = ["down", "repeat", "keyCode", "character", "place", "alt", "ctrl", "shift", "meta",
                    "x", "y", "index", "on"];
    HEAP32[event >> 2] = kinds.indexOf(e.kind) + 1;
    fields.forEach((name, i) => (HEAP32[(event >> 2) + 1 + i] = e[name] | 0));
  },

  lwPageBeginDialog: function (caption, font, points, width, height, centred) {
    lanternwhirlPage.beginDialog(UTF8ToString(caption), UTF8ToString(font), points, width, height,
                                 !!centred);
  },
  lwPageAddControl: function (id, kind, text, x, y, width, height, centred, sunken) {
    lanternwhirlPage.addControl(id, UTF8ToString(kind), text ? UTF8ToString(text) : "", x, y,
                                width, height, !!centred, !!sunken);
  },
  lwPageSetPicture: function (id, rgb, size) {
    lanternwhirlPage.setPicture(id, HEAPU8.subarray(rgb, rgb + size * size * 3), size);
  },
  lwPageShowDialog: function () {
    lanternwhirlPage.showDialog();
  },
  lwPageCloseDialog: function () {
    lanternwhirlPage.closeDialog();
  },
  lwPageOpenBox: function (caption, text, icon, closeBox) {
    lanternwhirlPage.openBox(UTF8ToString(caption), UTF8ToString(text), UTF8ToString(icon), !!closeBox);
  },
  lwPageAddBoxButton: function (label, isDefault) {
    lanternwhirlPage.addBoxButton(UTF8ToString(label), !!isDefault);
  },
  lwPageCloseBox: function () {
    lanternwhirlPage.closeBox();
  },
  lwPageDrawControl: function (index, checked, focused) {
    lanternwhirlPage.drawControl(index, !!checked, !!focused);
  },
  lwWaitDialogEvent__deps: ["$lwPageWriteEvent"],
  lwWaitDialogEvent: function (event) {
    return Asyncify.handleAsync(() =>
      lanternwhirlPage.nextDialogEvent().then((e) => lwPageWriteEvent(event, e)));
  },

  lwPageScreenSize: function (across) {
    return across ? screen.width : screen.height;
  },
  lwWaitFullscreen: function () {
    return Asyncify.handleAsync(() => lanternwhirlPage.enterFullscreen());
  },
  lwPageLeaveFullscreen: function () {
    lanternwhirlPage.leaveFullscreen();
  },
  lwPageShowCursor: function (show) {
    lanternwhirlPage.showCursor(!!show);
  },
  lwPageOpenWindow: function (title, width, height, fullscreen, sizable) {
    return stringToNewUTF8(
      lanternwhirlPage.openWindow(UTF8ToString(title), width, height, !!fullscreen, !!sizable));
  },
  lwPageShowWindow: function () {
    lanternwhirlPage.showWindow();
  },
  lwPageCloseWindow: function () {
    lanternwhirlPage.closeWindow();
  },
  lwPageTakeEvent__deps: ["$lwPageWriteEvent"],
  lwPageTakeEvent: function (event) {
    const e = lanternwhirlPage.takeEvent();
    if (!e) return 0;
    lwPageWriteEvent(event, e);
    return 1;
  },
  lwPageContextLost: function () {
    return lanternwhirlPage.contextLost() ? 1 : 0;
  },

  lwPageSizeCanvas: function (id, width, height) {
    const canvas = document.getElementById(UTF8ToString(id));
    canvas.width = width;
    canvas.height = height;
  },
  // Desktop GL has a default texture, name 0, bound from the start and taking images like any
  // other; the program keeps its first material texture there. WebGL has none (binding 0
  // unbinds), so each context gets a texture of its own that name 0 stands for.
  lwPageGiveDefaultTexture__deps: ["$GL"],
  lwPageGiveDefaultTexture: function () {
    if (!GLctx.lanternwhirlDefaultTexture) {
      GLctx.lanternwhirlDefaultTexture = GLctx.createTexture();
      GLctx.bindTexture(GLctx.TEXTURE_2D, GLctx.lanternwhirlDefaultTexture);
    }
    GL.textures[0] = GLctx.lanternwhirlDefaultTexture;
  },
  lwPageMakeCaptureCanvas: function () {
    lanternwhirlPage.captureCanvas();
  },

  lwWaitAudio: function (rate) {
    return Asyncify.handleAsync(() => lanternwhirlPage.openAudio(rate));
  },
  lwPageStartAudio: function (frames) {
    lanternwhirlPage.startAudio(frames);
  },
  lwPageCloseAudio: function () {
    lanternwhirlPage.closeAudio();
  },
});
