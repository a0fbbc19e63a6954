// The WebGL floor: for each section of the show, the pixel work its frames ask of WebGL, drawn
// by WebGL calls that do nothing else. The workload (bench/web_bench.mjs writes it from what the
// page's capture mode sent, bench/webgl_probe.mjs) lists each section's layers: the state the
// show draws them under (blend factors, depth test, the size of the texture) with the triangles
// and the fragments they rasterise in an average frame. Each layer here is one draw of that
// many triangles, a grid of textured quads over as much of the canvas as its fragments fill
// (whole sheets first, then a band), its vertices sent anew every frame as the show's change
// every frame, with a shader that samples the texture once and multiplies by a colour. Depth-
// tested sheets go nearest first, so later sheets fail the test as much as they can.
// Put into the bench's page before its own scripts (the probe draws a floor frame between the
// program's frames, so that both feel the same load): lanternwhirlFloor(width, height,
// workload) makes a canvas and context of its own (marked lanternwhirlFloor, which the probe
// passes straight through) and returns frame(section), which draws one frame of that section
// as the page's bench mode times one, from the clear to a read of one pixel once the drawing is
// done, and returns its milliseconds.
"use strict";

window.lanternwhirlFloor = function (width, height, workload) {
  const canvas = document.createElement("canvas");
  canvas.width = width;
  canvas.height = height;
  // The show's context: RGB, depth, no antialiasing, not kept between frames.
  const gl = canvas.getContext("webgl", { alpha: false, depth: true, stencil: false, antialias: false,
                                          premultipliedAlpha: false, preserveDrawingBuffer: false });
  gl.lanternwhirlFloor = true;
  const compile = (type, text) => {
    const s = gl.createShader(type);
    gl.shaderSource(s, text);
    gl.compileShader(s);
    return s;
  };
  const program = gl.createProgram();
  gl.attachShader(program, compile(gl.VERTEX_SHADER,
    "attribute vec3 p; attribute vec2 t; varying vec2 v; void main() { v = t; gl_Position = vec4(p, 1.0); }"));
  gl.attachShader(program, compile(gl.FRAGMENT_SHADER,
    "precision mediump float; uniform sampler2D s; uniform vec4 c; varying vec2 v; void main() { gl_FragColor = texture2D(s, v) * c; }"));
  gl.bindAttribLocation(program, 0, "p");
  gl.bindAttribLocation(program, 1, "t");
  gl.linkProgram(program);
  gl.useProgram(program);
  gl.uniform4f(gl.getUniformLocation(program, "c"), 0.7, 0.7, 0.7, 0.5);
  gl.enableVertexAttribArray(0);
  gl.enableVertexAttribArray(1);
  const buffer = gl.createBuffer();
  gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
  gl.vertexAttribPointer(0, 3, gl.FLOAT, false, 20, 0);
  gl.vertexAttribPointer(1, 2, gl.FLOAT, false, 20, 12);
  gl.clearColor(0, 0, 0, 1);

  // One texture a size, RGB with a pattern, filtered and repeated as the show's.
  const textures = {};
  function textureOf(size) {
    if (textures[size]) return textures[size];
    const [w, h] = /^\d+x\d+$/.test(size) ? size.split("x").map(Number) : [256, 256];
    const pixels = new Uint8Array(w * h * 3);
    for (let i = 0; i < pixels.length; ++i) pixels[i] = (i * 2654435761) >>> 24;
    const t = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, t);
    gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, w, h, 0, gl.RGB, gl.UNSIGNED_BYTE, pixels);
    const pot = (w & (w - 1)) === 0 && (h & (h - 1)) === 0;
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, pot ? gl.REPEAT : gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, pot ? gl.REPEAT : gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);
    return (textures[size] = t);
  }

  // A layer's vertices: its fragments as whole sheets and a band at the bottom, its triangles
  // shared out by area as grids of cells (two triangles a cell).
  function layerVertices(layer) {
    const screens = layer.fragments / (width * height);
    const sheets = [];
    for (let left = screens; left > 1e-6; left -= 1) sheets.push(Math.min(1, left));
    const triangles = Math.max(2 * sheets.length, Math.round(layer.triangles));
    const out = [];
    sheets.forEach((fraction, i) => {
      const cells = Math.max(1, Math.round(triangles * fraction / screens / 2));
      // Cells as square as the sheet allows: cols x rows over width x (fraction x height).
      const aspect = width / Math.max(1, fraction * height);
      const cols = Math.max(1, Math.round(Math.sqrt(cells * aspect))), rows = Math.max(1, Math.round(cells / cols));
      const z = layer.depth ? -0.9 + i * 0.01 : 0;
      const top = -1 + 2 * fraction;
      for (let r = 0; r < rows; ++r)
        for (let c = 0; c < cols; ++c) {
          const x0 = -1 + 2 * c / cols, x1 = -1 + 2 * (c + 1) / cols;
          const y0 = -1 + (top + 1) * r / rows, y1 = -1 + (top + 1) * (r + 1) / rows;
          const v = (x, y) => out.push(x, y, z, (x + 1) / 2, (y + 1) / 2);
          v(x0, y0); v(x1, y0); v(x0, y1);
          v(x0, y1); v(x1, y0); v(x1, y1);
        }
    });
    return new Float32Array(out);
  }

  const layersOf = workload.sections.map((section) => section.layers.filter((l) => l.fragments > 0).map((l) =>
    ({ ...l, vertices: layerVertices(l), texture: textureOf(l.texture) })));
  const pixel = new Uint8Array(4);
  return function frame(section) {
    const start = performance.now();
    gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
    for (const l of layersOf[section]) {
      if (l.blend) {
        gl.enable(gl.BLEND);
        gl.blendFunc(l.blend[0], l.blend[1]);
      } else {
        gl.disable(gl.BLEND);
      }
      if (l.depth) gl.enable(gl.DEPTH_TEST); else gl.disable(gl.DEPTH_TEST);
      gl.bindTexture(gl.TEXTURE_2D, l.texture);
      gl.bufferData(gl.ARRAY_BUFFER, l.vertices, gl.STREAM_DRAW);
      gl.drawArrays(gl.TRIANGLES, 0, l.vertices.length / 5);
    }
    gl.finish();
    gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    return performance.now() - start;
  };
};
