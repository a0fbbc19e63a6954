// What the page sends to WebGL, seen from inside the page: webglProbe is handed to the
// browser driver's evaluateOnNewDocument and wraps every method of the WebGL 1 context (and
// of the extensions it hands out) before the program makes its context.
//   "count": each call is counted per frame, every draw with the state it draws under and
//       the bytes of every buffer and texture upload. A frame starts at each clear of colour
//       and depth (the program clears once a frame, at its top). Every 30th frame also counts
//       the fragments each state's draws rasterise (see coverage below). window.lanternwhirlWebGl
//       holds the frames.
//   "no-draws": every draw call returns at once; everything else reaches WebGL. The page's
//       frame then costs the program, gl4es and the WebGL command traffic without a pixel.
//   "no-webgl": every call that returns nothing returns at once; those that create objects
//       or answer questions still run. The frame then costs the program and gl4es alone
//       (with Emscripten's GL glue).
//   "alternate": the page's frames go in turn as they are, with no draws and with no WebGL,
//       and between the last two a frame of the WebGL floor (bench/webgl_floor.js, put in
//       before this probe) for the section then playing: every kind of frame feels the same
//       load from the rest of the machine. The calls a frame without WebGL left out are made
//       after it, untimed, so that WebGL's state stays what the program thinks it is. A frame
//       runs from the page's getting control back (its animation frame) to its pixel read;
//       window.lanternwhirlAlternation.frames holds { kind, start, ms, section }.
// The other modes keep no record, so their frame times are the page's own. env, if given, is
// laid over the environment the program's getenv sees (gl4es reads its settings there when it
// starts): an experiment with its settings needs no new build. alternation: { width, height,
// workload, sections: [[first second, last second], ...] } for "alternate".
export function webglProbe(mode, env, alternation) {
  if (env) {
    // The program's script declares its environment as a global, var ENV = {}; the setter
    // takes that object and adds these.
    let programEnv;
    Object.defineProperty(window, "ENV", { configurable: true,
      get: () => programEnv, set: (v) => { programEnv = Object.assign(v, env); } });
  }
  const proto = WebGLRenderingContext.prototype;
  const draws = new Set(["drawArrays", "drawElements", "drawArraysInstancedANGLE",
                         "drawElementsInstancedANGLE"]);
  const uploads = new Set(["bufferData", "bufferSubData", "texImage2D", "texSubImage2D"]);
  // Calls whose answer the page uses, and the making of programs (whose link status it
  // reads); "no-webgl" keeps them.
  const answering = /^(create|get|is|check)|^(readPixels|finish|flush|shaderSource|compileShader|attachShader|linkProgram|bindAttribLocation)$/;
  const GL = WebGLRenderingContext;
  const record = { frames: [], programs: 0 };
  window.lanternwhirlWebGl = record;
  // The state every draw is filed under, as the page last set it.
  const state = { blend: false, depth: false, src: GL.ONE, dst: GL.ZERO, program: 0,
                  texture: null, textures: new Map() };
  let frame = null;
  const newFrame = () => {
    if (frame && frame.measured) coverage.resolve();
    frame = { t: performance.now(), calls: {}, vertices: 0, triangles: 0, bufferBytes: 0,
              textureBytes: 0, draws: {}, measured: record.frames.length % 30 === 16 };
    record.frames.push(frame);
  };
  const original = {};
  newFrame(); // start-up
  const bytesOf = (name, args) => {
    if (name === "bufferData") return typeof args[1] === "number" ? 0 : args[1].byteLength;
    if (name === "bufferSubData") return args[2].byteLength;
    const pixels = args[args.length - 1];
    if (pixels && pixels.byteLength !== undefined) return pixels.byteLength;
    if (pixels && pixels.width) return pixels.width * pixels.height * 4;
    return 0;
  };
  const trianglesOf = (modeEnum, count) =>
    modeEnum === GL.TRIANGLES ? Math.floor(count / 3) :
    modeEnum === GL.TRIANGLE_STRIP || modeEnum === GL.TRIANGLE_FAN ? Math.max(0, count - 2) : 0;
  function note(label, name, args) {
    if (name === "clear" && (args[0] & GL.COLOR_BUFFER_BIT) && (args[0] & GL.DEPTH_BUFFER_BIT))
      newFrame();
    frame.calls[label] = (frame.calls[label] || 0) + 1;
    if (name === "enable" || name === "disable") {
      if (args[0] === GL.BLEND) state.blend = name === "enable";
      if (args[0] === GL.DEPTH_TEST) state.depth = name === "enable";
    } else if (name === "blendFunc" || name === "blendFuncSeparate") {
      [state.src, state.dst] = args;
    } else if (name === "useProgram") {
      state.program = args[0] ? args[0].lanternwhirlId : 0;
    } else if (name === "bindTexture") {
      state.texture = args[1];
    } else if (uploads.has(name)) {
      const bytes = bytesOf(name, args);
      if (name === "bufferData" && typeof args[1] === "number") frame.bufferAllocated = (frame.bufferAllocated || 0) + args[1];
      if (name.startsWith("buffer")) frame.bufferBytes += bytes; else frame.textureBytes += bytes;
      if (name === "texImage2D" && args.length === 9 && state.texture)
        state.textures.set(state.texture, `${args[3]}x${args[4]}`);
    } else if (draws.has(name)) {
      // drawArrays(mode, first, count), drawElements(mode, count, ...); instanced: times the last.
      const count = args[name.startsWith("drawArrays") ? 2 : 1] * (name.includes("Instanced") ? args[args.length - 1] : 1);
      const triangles = trianglesOf(args[0], count);
      frame.vertices += count;
      frame.triangles += triangles;
      const key = [state.blend ? `blend ${state.src.toString(16)} ${state.dst.toString(16)}` : "no blend",
                   state.depth ? "depth" : "no depth", `program ${state.program}`,
                   `texture ${state.textures.get(state.texture) || "?"}`].join(", ");
      const d = frame.draws[key] || (frame.draws[key] = { draws: 0, triangles: 0, fragments: 0 });
      d.draws += 1;
      d.triangles += triangles;
      return key;
    }
  }

  // Coverage: each draw of a measured frame is drawn a second time into a canvas-sized
  // framebuffer of our own with only a stencil buffer written, incremented by every fragment
  // (no depth buffer there: the fragments rasterised, whatever the depth test then keeps). When
  // the state changes the stencil counts are summed: sixteen passes of a full quad, pass k
  // adding 1/255 where the count is k or more, and one read. Every state this touches is put
  // back, so the page's own frame stays as it was.
  const coverage = {
    gl: null, key: null,
    setUp(gl) {
      const o = original, w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;
      this.gl = gl; this.w = w; this.h = h;
      this.fb = o.createFramebuffer.call(gl);
      const saved = o.getParameter.call(gl, gl.FRAMEBUFFER_BINDING), savedRb = o.getParameter.call(gl, gl.RENDERBUFFER_BINDING);
      o.bindFramebuffer.call(gl, gl.FRAMEBUFFER, this.fb);
      const colour = o.createRenderbuffer.call(gl), stencil = o.createRenderbuffer.call(gl);
      o.bindRenderbuffer.call(gl, gl.RENDERBUFFER, colour);
      o.renderbufferStorage.call(gl, gl.RENDERBUFFER, gl.RGBA4, w, h);
      o.framebufferRenderbuffer.call(gl, gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.RENDERBUFFER, colour);
      o.bindRenderbuffer.call(gl, gl.RENDERBUFFER, stencil);
      o.renderbufferStorage.call(gl, gl.RENDERBUFFER, gl.STENCIL_INDEX8, w, h);
      o.framebufferRenderbuffer.call(gl, gl.FRAMEBUFFER, gl.STENCIL_ATTACHMENT, gl.RENDERBUFFER, stencil);
      o.bindRenderbuffer.call(gl, gl.RENDERBUFFER, savedRb);
      o.bindFramebuffer.call(gl, gl.FRAMEBUFFER, saved);
      const shader = (type, text) => {
        const sh = o.createShader.call(gl, type);
        o.shaderSource.call(gl, sh, text);
        o.compileShader.call(gl, sh);
        return sh;
      };
      this.program = o.createProgram.call(gl);
      o.attachShader.call(gl, this.program, shader(gl.VERTEX_SHADER, "attribute vec2 p; void main() { gl_Position = vec4(p, 0.0, 1.0); }"));
      o.attachShader.call(gl, this.program, shader(gl.FRAGMENT_SHADER, "void main() { gl_FragColor = vec4(1.0 / 15.0); }"));
      o.bindAttribLocation.call(gl, this.program, 0, "p");
      o.linkProgram.call(gl, this.program);
      this.quad = o.createBuffer.call(gl);
      const savedBuffer = o.getParameter.call(gl, gl.ARRAY_BUFFER_BINDING);
      o.bindBuffer.call(gl, gl.ARRAY_BUFFER, this.quad);
      o.bufferData.call(gl, gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
      o.bindBuffer.call(gl, gl.ARRAY_BUFFER, savedBuffer);
      this.pixels = new Uint8Array(w * h * 4);
      this.vao = gl.getExtension("OES_vertex_array_object");
    },
    // The state the two passes change, read back before and set again after.
    save(gl) {
      const o = original;
      const caps = [gl.BLEND, gl.DEPTH_TEST, gl.STENCIL_TEST, gl.CULL_FACE, gl.SCISSOR_TEST];
      const s = { caps: caps.map((c) => [c, o.isEnabled.call(gl, c)]) };
      for (const p of ["FRAMEBUFFER_BINDING", "COLOR_WRITEMASK", "DEPTH_WRITEMASK", "STENCIL_FUNC", "STENCIL_REF",
                       "STENCIL_VALUE_MASK", "STENCIL_FAIL", "STENCIL_PASS_DEPTH_FAIL", "STENCIL_PASS_DEPTH_PASS",
                       "STENCIL_WRITEMASK", "CURRENT_PROGRAM", "ARRAY_BUFFER_BINDING", "VIEWPORT", "COLOR_CLEAR_VALUE",
                       "BLEND_SRC_RGB", "BLEND_DST_RGB", "BLEND_SRC_ALPHA", "BLEND_DST_ALPHA"])
        s[p] = o.getParameter.call(gl, gl[p]);
      return s;
    },
    restore(gl, s) {
      const o = original;
      for (const [c, on] of s.caps) (on ? o.enable : o.disable).call(gl, c);
      o.bindFramebuffer.call(gl, gl.FRAMEBUFFER, s.FRAMEBUFFER_BINDING);
      o.colorMask.apply(gl, s.COLOR_WRITEMASK);
      o.depthMask.call(gl, s.DEPTH_WRITEMASK);
      o.stencilFunc.call(gl, s.STENCIL_FUNC, s.STENCIL_REF, s.STENCIL_VALUE_MASK);
      o.stencilOp.call(gl, s.STENCIL_FAIL, s.STENCIL_PASS_DEPTH_FAIL, s.STENCIL_PASS_DEPTH_PASS);
      o.stencilMask.call(gl, s.STENCIL_WRITEMASK);
      o.useProgram.call(gl, s.CURRENT_PROGRAM);
      o.bindBuffer.call(gl, gl.ARRAY_BUFFER, s.ARRAY_BUFFER_BINDING);
      o.viewport.apply(gl, s.VIEWPORT);
      o.clearColor.apply(gl, s.COLOR_CLEAR_VALUE);
      o.blendFuncSeparate.call(gl, s.BLEND_SRC_RGB, s.BLEND_DST_RGB, s.BLEND_SRC_ALPHA, s.BLEND_DST_ALPHA);
    },
    // The page's draw again, counting its fragments in the stencil buffer.
    draw(gl, name, target, args, key) {
      if (!this.gl) this.setUp(gl);
      if (key !== this.key) this.resolve();
      this.key = key;
      const o = original, s = this.save(gl);
      o.bindFramebuffer.call(gl, gl.FRAMEBUFFER, this.fb);
      o.disable.call(gl, gl.DEPTH_TEST);
      o.disable.call(gl, gl.SCISSOR_TEST);
      o.colorMask.call(gl, false, false, false, false);
      o.enable.call(gl, gl.STENCIL_TEST);
      o.stencilMask.call(gl, 0xff);
      o.stencilFunc.call(gl, gl.ALWAYS, 0, 0xff);
      o.stencilOp.call(gl, gl.KEEP, gl.INCR, gl.INCR);
      original[name].apply(target, args);
      this.restore(gl, s);
    },
    resolve() {
      const gl = this.gl, key = this.key;
      if (!gl || !key) return;
      this.key = null;
      const o = original, s = this.save(gl);
      const vao = this.vao && o.getParameter.call(gl, this.vao.VERTEX_ARRAY_BINDING_OES);
      const bindVao = (v) => Object.getPrototypeOf(this.vao).bindVertexArrayOES.call(this.vao, v);
      if (vao) bindVao(null);
      const a = ["VERTEX_ATTRIB_ARRAY_ENABLED", "VERTEX_ATTRIB_ARRAY_SIZE", "VERTEX_ATTRIB_ARRAY_TYPE",
                 "VERTEX_ATTRIB_ARRAY_NORMALIZED", "VERTEX_ATTRIB_ARRAY_STRIDE", "VERTEX_ATTRIB_ARRAY_BUFFER_BINDING"]
        .map((p) => o.getVertexAttrib.call(gl, 0, gl[p]));
      const offset = o.getVertexAttribOffset.call(gl, 0, gl.VERTEX_ATTRIB_ARRAY_POINTER);
      o.bindFramebuffer.call(gl, gl.FRAMEBUFFER, this.fb);
      o.viewport.call(gl, 0, 0, this.w, this.h);
      for (const c of [gl.DEPTH_TEST, gl.SCISSOR_TEST, gl.CULL_FACE]) o.disable.call(gl, c);
      o.colorMask.call(gl, true, true, true, true);
      o.clearColor.call(gl, 0, 0, 0, 0);
      o.clear.call(gl, gl.COLOR_BUFFER_BIT);
      o.useProgram.call(gl, this.program);
      o.bindBuffer.call(gl, gl.ARRAY_BUFFER, this.quad);
      o.enableVertexAttribArray.call(gl, 0);
      o.vertexAttribPointer.call(gl, 0, 2, gl.FLOAT, false, 0, 0);
      o.enable.call(gl, gl.BLEND);
      o.blendFuncSeparate.call(gl, gl.ONE, gl.ONE, gl.ONE, gl.ONE);
      o.enable.call(gl, gl.STENCIL_TEST);
      o.stencilMask.call(gl, 0);
      o.stencilOp.call(gl, gl.KEEP, gl.KEEP, gl.KEEP);
      // RGBA4 holds up to 15 in each channel: passes 1-15 go to red, 16-30 to green.
      for (let k = 1; k <= 30; ++k) {
        o.colorMask.call(gl, k <= 15, k > 15, false, false);
        o.stencilFunc.call(gl, gl.LEQUAL, k, 0xff);
        o.drawArrays.call(gl, gl.TRIANGLE_STRIP, 0, 4);
      }
      o.colorMask.call(gl, true, true, true, true);
      o.readPixels.call(gl, 0, 0, this.w, this.h, gl.RGBA, gl.UNSIGNED_BYTE, this.pixels);
      let sum = 0;
      for (let i = 0; i < this.pixels.length; i += 4)
        sum += Math.round(this.pixels[i] / 17) + Math.round(this.pixels[i + 1] / 17);
      o.stencilMask.call(gl, 0xff);
      o.clearStencil.call(gl, 0);
      o.clear.call(gl, gl.STENCIL_BUFFER_BIT);
      o.bindBuffer.call(gl, gl.ARRAY_BUFFER, a[5]);
      o.vertexAttribPointer.call(gl, 0, a[1], a[2], a[3], a[4], offset);
      if (!a[0]) o.disableVertexAttribArray.call(gl, 0);
      if (vao) bindVao(vao);
      this.restore(gl, s);
      frame.draws[key].fragments += sum;
    },
  };
  // "alternate": the kind of the frame being drawn, the calls left out of a frame without
  // WebGL, and when the frame began (0: no frame of the page's own, as during start-up).
  let kind = "full", leftOut = [], frameStart = 0, frameEnded = false, clockZero = null, tick = 0, floor = null;
  const alternated = { frames: [] };
  const kinds = ["full", "no-draws", "no-webgl"];
  const sectionAt = (ms) => alternation.sections.findIndex(([first, last]) =>
    Math.floor(ms / 1000) >= first && Math.floor(ms / 1000) <= last);
  // Small arguments (uniforms from Emscripten's scratch arrays) are copied; an upload's data
  // stays the program's, and is sent again before any draw reads it.
  const keep = (a) => (ArrayBuffer.isView(a) && a.byteLength <= 4096 ? a.slice() : a);
  if (mode === "alternate") {
    window.lanternwhirlAlternation = alternated;
    const requestFrame = window.requestAnimationFrame;
    window.requestAnimationFrame = function (callback) {
      return requestFrame.call(window, (time) => {
        if (frameEnded) between();
        callback(time);
      });
    };
  }
  function between() {
    frameEnded = false;
    let pageGl = null;
    kind = "full";
    for (const [gl, method, args] of leftOut) method.apply((pageGl = gl), args);
    leftOut = [];
    if (pageGl) original.readPixels.call(pageGl, 0, 0, 1, 1, GL.RGBA, GL.UNSIGNED_BYTE, new Uint8Array(4));
    const next = kinds[++tick % kinds.length];
    if (next === "no-webgl" && alternation.workload) {
      const section = sectionAt(performance.now() - clockZero);
      if (section >= 0) {
        floor = floor || window.lanternwhirlFloor(alternation.width, alternation.height, alternation.workload);
        const start = performance.now();
        alternated.frames.push({ kind: "floor", start, ms: floor(section), section });
      }
    }
    kind = next;
    frameStart = performance.now();
  }
  function frameDone() {
    const now = performance.now();
    if (clockZero === null) clockZero = now;
    if (frameStart) alternated.frames.push({ kind, start: frameStart, ms: now - frameStart });
    frameStart = 0;
    frameEnded = true;
  }

  function wrap(target, name, prefix) {
    const originalMethod = target[name];
    if (target === proto) original[name] = originalMethod;
    if (mode === "alternate") {
      const leaves = draws.has(name) ? () => kind !== "full" : answering.test(name) ? () => false
        : () => kind === "no-webgl";
      target[name] = function (...args) {
        if (this.lanternwhirlFloor) return originalMethod.apply(this, args);
        if (!leaves()) {
          const result = originalMethod.apply(this, args);
          if (name === "readPixels") frameDone();
          return result;
        }
        if (kind === "no-webgl" && !draws.has(name) && name !== "clear") leftOut.push([this, originalMethod, args.map(keep)]);
      };
    } else if (mode === "count") {
      const label = prefix + name;
      target[name] = function (...args) {
        if (name === "readPixels" && frame.measured) coverage.resolve();
        const key = note(label, name, args);
        const result = originalMethod.apply(this, args);
        if (name === "createProgram" && result) result.lanternwhirlId = ++record.programs;
        if (key && frame.measured && target === proto) coverage.draw(this, name, this, args, key);
        return result;
      };
    } else if (mode === "no-draws" && draws.has(name)) {
      target[name] = function () {};
    } else if (mode === "no-webgl" && !answering.test(name)) {
      target[name] = function () {};
    }
  }
  for (const name of Object.getOwnPropertyNames(proto)) {
    const d = Object.getOwnPropertyDescriptor(proto, name);
    if (typeof d.value === "function" && name !== "constructor" && name !== "getExtension")
      wrap(proto, name, "");
  }
  // Extension objects are wrapped once each, as they are handed out.
  const getExtension = proto.getExtension;
  proto.getExtension = function (name) {
    const ext = getExtension.call(this, name);
    if (ext && !ext.lanternwhirlWrapped) {
      ext.lanternwhirlWrapped = true;
      for (let o = Object.getPrototypeOf(ext); o && o !== Object.prototype; o = Object.getPrototypeOf(o))
        for (const method of Object.getOwnPropertyNames(o))
          if (method !== "constructor" && typeof ext[method] === "function") wrap(ext, method, name + ".");
    }
    return ext;
  };
}
