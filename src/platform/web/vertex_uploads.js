// Linked after Emscripten's GL library (--post-js): how gl4es's vertices reach WebGL.
// gl4es draws from client-side arrays, its vertices, colours, texture coordinates and normals
// interleaved in one block of 80 bytes a vertex (four floats of position, four of colour, four
// of each of two texture units, three of normal and one of fog), and Emscripten copies what the
// enabled arrays span into a buffer before every draw: every vertex's 80 bytes, and for
// indexed draws as many vertices as there are indices. Here a draw uploads only what it reads:
// - the vertices its indices reach (up to the largest index);
// - the attributes its program reads, each with the components that are not the attribute's
//   default (a position's w of 1, texture coordinates' r of 0 and q of 1 are left to WebGL,
//   which fills them in the same);
// - an attribute with one value over the whole draw as that value (a constant attribute), no
//   array at all: the vertex shader reads the same floats;
// - colours as normalised bytes where every value is b / 255 for a byte b whose float comes
//   out the same whichever way a driver makes it (b / 255 or b times 1 / 255);
// packed tight, one vertex after the other, into one buffer.
// The WebGL state the uploads touch (the array and index buffer bindings, the arrays' enables,
// pointers and constant values) is kept here as the program asked for it and as WebGL has it:
// what the program asks for is applied when a draw needs it, and only where it differs, so that
// a draw costs no calls that would change nothing.
(function () {
  var ARRAY = 0x8892, ELEMENT = 0x8893, FLOAT = 0x1406, UNSIGNED_BYTE = 0x1401;
  var ARRAY_BINDING = 0x8894, ELEMENT_BINDING = 0x8895, STREAM_DRAW = 0x88e0;
  var ACTIVE_ATTRIBUTES = 0x8b89, LINK_STATUS = 0x8b82;
  var defaults = [0, 0, 0, 1];

  // byteFloat[b]: the float a normalised byte b stands for, or NaN where drivers may differ.
  var byteFloat = new Float64Array(256);
  for (var b = 0; b < 256; ++b) {
    var divided = Math.fround(b / 255);
    byteFloat[b] = divided === Math.fround(b * Math.fround(1 / 255)) ? divided : NaN;
  }

  function install(gl) {
    var o = {};
    ["bindBuffer", "bufferData", "bufferSubData", "deleteBuffer", "enableVertexAttribArray",
     "disableVertexAttribArray", "vertexAttribPointer", "vertexAttrib4f", "getParameter", "useProgram",
     "linkProgram", "deleteProgram"].forEach(function (name) { o[name] = gl[name]; });
    var s = {
      o: o, vbo: gl.createBuffer(), ibo: gl.createBuffer(),
      // Bindings, as the program asked for them and as WebGL has them (undefined: not known).
      arrayWanted: null, arrayReal: undefined, elementWanted: null, elementReal: undefined,
      // Per attribute: enabled as an array; the pointer of an array in one of the program's own
      // buffers; the constant value, four floats.
      enabledWanted: [], enabledReal: [], pointerWanted: [], pointerReal: [],
      constantWanted: [], constantReal: [],
      program: null, reads: new Map(), indices: null,
      staging: new ArrayBuffer(1 << 16),
    };
    gl.lanternwhirlUploads = s;

    gl.bindBuffer = function (target, buffer) {
      if (target === ARRAY) s.arrayWanted = buffer;
      else if (target === ELEMENT) s.elementWanted = buffer;
      else o.bindBuffer.call(gl, target, buffer);
    };
    gl.bufferData = function (target) {
      bindFor(target);
      o.bufferData.apply(gl, arguments);
    };
    gl.bufferSubData = function (target, offset, data) {
      // An indexed draw's client-side indices, sent when the draw knows what they reach.
      if (target === ELEMENT && s.elementWanted === s.ibo) {
        s.indices = data;
        return;
      }
      bindFor(target);
      o.bufferSubData.apply(gl, arguments);
    };
    gl.deleteBuffer = function (buffer) {
      o.deleteBuffer.call(gl, buffer);
      // WebGL unbinds a deleted buffer; its pointers are set again when used.
      if (s.arrayReal === buffer) s.arrayReal = null;
      if (s.arrayWanted === buffer) s.arrayWanted = null;
      if (s.elementReal === buffer) s.elementReal = null;
      if (s.elementWanted === buffer) s.elementWanted = null;
      s.pointerReal.forEach(function (p, i) { if (p && p[0] === buffer) s.pointerReal[i] = undefined; });
    };
    gl.getParameter = function (name) {
      if (name === ARRAY_BINDING) return s.arrayWanted;
      if (name === ELEMENT_BINDING) return s.elementWanted;
      return o.getParameter.call(gl, name);
    };
    gl.enableVertexAttribArray = function (i) { s.enabledWanted[i] = true; };
    gl.disableVertexAttribArray = function (i) { s.enabledWanted[i] = false; };
    gl.vertexAttribPointer = function (i, size, type, normalized, stride, offset) {
      s.pointerWanted[i] = [s.arrayWanted, size, type, !!normalized, stride, offset];
    };
    var constant = function (i, x, y, z, w) { s.constantWanted[i] = [x, y, z, w]; };
    gl.vertexAttrib1f = function (i, x) { constant(i, x, 0, 0, 1); };
    gl.vertexAttrib2f = function (i, x, y) { constant(i, x, y, 0, 1); };
    gl.vertexAttrib3f = function (i, x, y, z) { constant(i, x, y, z, 1); };
    gl.vertexAttrib4f = function (i, x, y, z, w) { constant(i, x, y, z, w); };
    gl.vertexAttrib1fv = function (i, v) { constant(i, v[0], 0, 0, 1); };
    gl.vertexAttrib2fv = function (i, v) { constant(i, v[0], v[1], 0, 1); };
    gl.vertexAttrib3fv = function (i, v) { constant(i, v[0], v[1], v[2], 1); };
    gl.vertexAttrib4fv = function (i, v) { constant(i, v[0], v[1], v[2], v[3]); };
    gl.useProgram = function (program) {
      s.program = program;
      o.useProgram.call(gl, program);
    };
    gl.linkProgram = function (program) {
      s.reads.delete(program);
      o.linkProgram.call(gl, program);
    };
    gl.deleteProgram = function (program) {
      s.reads.delete(program);
      o.deleteProgram.call(gl, program);
    };

    function bindFor(target) {
      if (target === ARRAY) bindArray(s.arrayWanted);
      else if (target === ELEMENT) bindElement(s.elementWanted);
    }
    function bindArray(buffer) {
      if (s.arrayReal !== buffer) o.bindBuffer.call(gl, ARRAY, (s.arrayReal = buffer));
    }
    function bindElement(buffer) {
      if (s.elementReal !== buffer) o.bindBuffer.call(gl, ELEMENT, (s.elementReal = buffer));
    }
    s.enable = function (i, on) {
      if (s.enabledReal[i] === on) return;
      s.enabledReal[i] = on;
      (on ? o.enableVertexAttribArray : o.disableVertexAttribArray).call(gl, i);
    };
    s.pointer = function (i, p) {
      var r = s.pointerReal[i];
      if (r && r[0] === p[0] && r[1] === p[1] && r[2] === p[2] && r[3] === p[3] && r[4] === p[4] && r[5] === p[5])
        return;
      bindArray(p[0]);
      o.vertexAttribPointer.call(gl, i, p[1], p[2], p[3], p[4], p[5]);
      s.pointerReal[i] = p;
    };
    s.constant = function (i, v) {
      var r = s.constantReal[i];
      if (!v || (r && r[0] === v[0] && r[1] === v[1] && r[2] === v[2] && r[3] === v[3])) return;
      o.vertexAttrib4f.call(gl, i, v[0], v[1], v[2], v[3]);
      s.constantReal[i] = v;
    };
    s.bindElement = bindElement;
    // The attribute locations the current program reads.
    s.programReads = function () {
      var p = s.program, reads = s.reads.get(p);
      if (reads) return reads;
      reads = [];
      if (p && gl.getProgramParameter(p, LINK_STATUS)) {
        for (var k = 0, n = gl.getProgramParameter(p, ACTIVE_ATTRIBUTES); k < n; ++k) {
          var at = gl.getAttribLocation(p, gl.getActiveAttrib(p, k).name);
          if (at >= 0) reads[at] = true;
        }
      }
      s.reads.set(p, reads);
      return reads;
    };
  }

  var makeContextCurrent = GL.makeContextCurrent;
  GL.makeContextCurrent = function () {
    var made = makeContextCurrent.apply(GL, arguments);
    if (GLctx && !GLctx.lanternwhirlUploads) install(GLctx);
    return made;
  };
  // An indexed draw's client-side indices go to this context's own index buffer, through the
  // bufferSubData above.
  GL.getTempIndexBuffer = function () { return GLctx.lanternwhirlUploads.ibo; };
  GL.postDrawHandleClientVertexAttribBindings = function () {};

  // The largest index of a draw's count indices.
  function largestIndex(data, count) {
    var width = data.byteLength / count, list;
    if (width === 2 && data.byteOffset % 2 === 0) list = new Uint16Array(data.buffer, data.byteOffset, count);
    else if (width === 4 && data.byteOffset % 4 === 0) list = new Uint32Array(data.buffer, data.byteOffset, count);
    else if (width === 1) list = data;
    else list = width === 2 ? new Uint16Array(data.slice().buffer) : new Uint32Array(data.slice().buffer);
    var top = 0;
    for (var k = 0; k < count; ++k) if (list[k] > top) top = list[k];
    return top;
  }

  // What a float attribute of n vertices needs: its components left after the defaults at its
  // end, whether it has one value throughout, and whether its values are all exact bytes.
  function examine(f32, base, step, size, n) {
    var first = [], varies = false, bytes = true, kept = 0;
    for (var c = 0; c < size; ++c) first.push(f32[base + c]);
    for (var c = 0; c < size; ++c) {
      var d = defaults[c], x0 = first[c], differs = x0 !== d;
      for (var v = 0, p = base + c; v < n; ++v, p += step) {
        var x = f32[p];
        if (x !== x0) varies = true;
        if (x !== d) differs = true;
        if (bytes && byteFloat[(x * 255 + 0.5) | 0] !== x) bytes = false;
      }
      if (differs) kept = c + 1;
    }
    // A value of a byte's range only: NaN, negative or above 1 fail the look-up.
    for (var c = size; c < 4; ++c) first.push(defaults[c]);
    return { size: Math.max(1, kept), constant: varies ? null : first, bytes: bytes };
  }

  GL.preDrawHandleClientVertexAttribBindings = function (count) {
    var gl = GLctx, s = gl.lanternwhirlUploads, n = count;
    GL.resetBufferBinding = false;
    if (s.indices) {
      n = largestIndex(s.indices, count) + 1;
      s.bindElement(s.ibo);
      s.o.bufferData.call(gl, ELEMENT, s.indices, STREAM_DRAW);
      s.indices = null;
    } else if (s.elementWanted) {
      s.bindElement(s.elementWanted);
    }
    var reads = s.programReads(), clientBuffers = GL.currentContext.clientBuffers, packed = [], stride = 0;
    for (var i = 0; i < GL.currentContext.maxVertexAttribs; ++i) {
      var cb = clientBuffers[i];
      if (!s.enabledWanted[i] || !reads[i]) {
        s.enable(i, false);
        if (reads[i]) s.constant(i, s.constantWanted[i] || defaults);
        continue;
      }
      if (!cb.clientside) {
        s.enable(i, true);
        if (s.pointerWanted[i]) s.pointer(i, s.pointerWanted[i]);
        continue;
      }
      var width = cb.size * GL.byteSizeByType[cb.type - GL.byteSizeByTypeRoot];
      var step = cb.stride || width;
      if (cb.type === FLOAT && cb.ptr % 4 === 0 && step % 4 === 0) {
        var e = examine(HEAPF32, cb.ptr >> 2, step >> 2, cb.size, n);
        if (e.constant) {
          s.enable(i, false);
          s.constant(i, e.constant);
          continue;
        }
        e.index = i; e.cb = cb; e.step = step >> 2;
        e.bytesEach = e.bytes ? 4 : 4 * e.size;
      } else {
        // Anything else as it is, padded to whole words.
        var e = { index: i, cb: cb, raw: true, size: cb.size, width: width, step: step,
                  bytesEach: (width + 3) & ~3 };
      }
      packed.push(e);
      stride += e.bytesEach;
    }
    if (!packed.length) return;
    // Floats first, bytes after: every float starts on a multiple of four.
    packed.sort(function (a, b) { return (a.bytes && !a.raw) - (b.bytes && !b.raw); });
    var bytes = n * stride;
    if (s.staging.byteLength < bytes) {
      var grown = s.staging.byteLength;
      while (grown < bytes) grown *= 2;
      s.staging = new ArrayBuffer(grown);
    }
    var outF = new Float32Array(s.staging), outB = new Uint8Array(s.staging), offset = 0, w = stride >> 2;
    for (var k = 0; k < packed.length; ++k) {
      var e = packed[k];
      if (e.raw) {
        for (var v = 0; v < n; ++v)
          outB.set(HEAPU8.subarray(e.cb.ptr + v * e.step, e.cb.ptr + v * e.step + e.width), v * stride + offset);
      } else if (e.bytes) {
        for (var c = 0; c < e.size; ++c)
          for (var v = 0, p = (e.cb.ptr >> 2) + c, q = offset + c; v < n; ++v, p += e.step, q += stride)
            outB[q] = (HEAPF32[p] * 255 + 0.5) | 0;
      } else {
        for (var c = 0; c < e.size; ++c)
          for (var v = 0, p = (e.cb.ptr >> 2) + c, q = (offset >> 2) + c; v < n; ++v, p += e.step, q += w)
            outF[q] = HEAPF32[p];
      }
      e.offset = offset;
      offset += e.bytesEach;
    }
    if (s.arrayReal !== s.vbo) s.o.bindBuffer.call(gl, ARRAY, (s.arrayReal = s.vbo));
    s.o.bufferData.call(gl, ARRAY, outB.subarray(0, bytes), STREAM_DRAW);
    for (var k = 0; k < packed.length; ++k) {
      var e = packed[k];
      s.enable(e.index, true);
      s.pointer(e.index, e.raw ? [s.vbo, e.cb.size, e.cb.type, !!e.cb.normalized, stride, e.offset]
                               : [s.vbo, e.size, e.bytes ? UNSIGNED_BYTE : FLOAT, e.bytes, stride, e.offset]);
    }
  };
})();
