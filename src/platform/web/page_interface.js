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

  lwPageBeginDialog: function (caption, font, points, width, height, centred) {
    lanternwhirlPage.beginDialog(UTF8ToString(caption), UTF8ToString(font), points, width, height,
                                 !!centred);
  },
  lwPageAddControl: function (id, kind, text, x, y, width, height, tabStop, centred, sunken) {
    lanternwhirlPage.addControl(id, UTF8ToString(kind), text ? UTF8ToString(text) : "", x, y,
                                width, height, !!tabStop, !!centred, !!sunken);
  },
  lwPageSetPicture: function (id, rgb, size) {
    lanternwhirlPage.setPicture(id, HEAPU8.subarray(rgb, rgb + size * size * 3), size);
  },
  lwPageShowDialog: function (foreground) {
    lanternwhirlPage.showDialog(!!foreground);
  },
  lwPageCloseDialog: function () {
    lanternwhirlPage.closeDialog();
  },
  lwWaitDialogEvent: function () {
    return Asyncify.handleAsync(() => lanternwhirlPage.nextDialogEvent());
  },
  lwPageIsChecked: function (id) {
    return lanternwhirlPage.isChecked(id) ? 1 : 0;
  },
  lwPageSetChecked: function (id, checked) {
    lanternwhirlPage.setChecked(id, !!checked);
  },

  lwWaitBox: function (text, caption, type) {
    return Asyncify.handleAsync(() =>
      lanternwhirlPage.messageBox(UTF8ToString(caption), UTF8ToString(text), type));
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
  lwPageOpenWindow: function (title, width, height, fullscreen) {
    return stringToNewUTF8(
      lanternwhirlPage.openWindow(UTF8ToString(title), width, height, !!fullscreen));
  },
  lwPageShowWindow: function () {
    lanternwhirlPage.showWindow();
  },
  lwPageCloseWindow: function () {
    lanternwhirlPage.closeWindow();
  },
  lwPageTakeMessage: function (type, wParam, lParam) {
    const message = lanternwhirlPage.takeMessage();
    if (!message) return 0;
    HEAPU32[type >> 2] = message[0];
    HEAPU32[wParam >> 2] = message[1];
    HEAP32[lParam >> 2] = message[2];
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
