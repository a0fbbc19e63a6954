// Linked after Emscripten's GL library (--post-js). gl4es draws from client-side arrays: its
// vertices, colours, normals and texture coordinates interleaved in one block, 80 bytes a
// vertex. Emscripten copies each enabled attribute's span of memory into a buffer before every
// draw, so that block went to WebGL once for every attribute, three or four times a draw.
// Here attributes whose spans overlap share one copy, each pointing at its place in it.
GL.preDrawHandleClientVertexAttribBindings = function (count) {
  GL.resetBufferBinding = false;
  var spans = [];
  for (var i = 0; i < GL.currentContext.maxVertexAttribs; ++i) {
    var cb = GL.currentContext.clientBuffers[i];
    if (!cb.clientside || !cb.enabled) continue;
    spans.push({ index: i, cb: cb, start: cb.ptr, end: cb.ptr + GL.calcBufLength(cb.size, cb.type, cb.stride, count) });
  }
  if (!spans.length) return;
  GL.resetBufferBinding = true;
  spans.sort(function (a, b) { return a.start - b.start; });
  for (var k = 0; k < spans.length;) {
    var start = spans[k].start, end = spans[k].end, j = k + 1;
    for (; j < spans.length && spans[j].start < end; ++j) end = Math.max(end, spans[j].end);
    GLctx.bindBuffer(0x8892 /* ARRAY_BUFFER */, GL.getTempVertexBuffer(end - start));
    GLctx.bufferSubData(0x8892, 0, HEAPU8.subarray(start, end));
    for (; k < j; ++k) {
      var s = spans[k];
      s.cb.vertexAttribPointerAdaptor.call(GLctx, s.index, s.cb.size, s.cb.type, s.cb.normalized, s.cb.stride,
                                           s.start - start);
    }
  }
};
