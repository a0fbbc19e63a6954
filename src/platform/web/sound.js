// The page's sound: a Web Audio output the program's mixer feeds chunk by chunk. The music
// follows the show's clock as a sound card would: when the browser suspends the output (a call,
// a locked phone, a frozen page), the clock goes on and so does the song, skipped ahead to where
// the clock is once the sound runs again.
"use strict";

(function (page) {
  // Music queued ahead of what is heard: enough to ride over a slow frame, more while the page
  // is hidden and its timers run only once a second.
  const aheadSeconds = 0.25, hiddenAheadSeconds = 2.5, startLeadSeconds = 0.02;
  const audio = {
    context: null,
    closed: false,
    next: 0, // the context's time at which the next chunk starts
    frames: 0, // a chunk's length; 0 while no music plays
    startWall: 0, // the page's clock, in seconds, when the song's first frame is due
    position: 0, // frames the song has moved on, mixed or skipped
    skipped: 0,
    timer: 0,
    sources: new Set(),
    queued: [], // the chunks lately queued: when each starts, and the song's frame it starts at
  };

  function makeContext() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    try {
      audio.context = new Context({ latencyHint: "interactive", sampleRate: 44100 });
    } catch (e) {
      try {
        audio.context = new Context();
      } catch (e2) {
        return;
      }
    }
    audio.context.onstatechange = onStateChange;
  }

  // Browsers start sound only in a user's gesture: every key, click and tap opens the context or
  // resumes one the browser suspended. This runs inside the gesture's own handler.
  function unlockAudio() {
    if (page.mode || audio.closed) return;
    if (!audio.context) {
      // A modifier key alone is no gesture: the context would be made but not allowed to start.
      if (navigator.userActivation && !navigator.userActivation.isActive) return;
      makeContext();
      if (!audio.context) return;
    }
    const state = audio.context.state;
    if (state !== "running" && state !== "closed") audio.context.resume().catch(() => {});
  }
  for (const type of ["keydown", "pointerdown", "pointerup", "touchend", "click"])
    document.addEventListener(type, unlockAudio, true);

  // An iPhone's ring switch mutes Web Audio unless the page's audio session says it plays media
  // ("playback", which pauses the viewer's own music as any player would). Safari before 16.4
  // has no audio session, but a playing media element gives the page the same one: half a
  // second of silence loops there, out of the page and without controls, while the show runs.
  const appleTouch = /iPhone|iPad|iPod/.test(navigator.userAgent) ||
                     (/Macintosh/.test(navigator.userAgent) && navigator.maxTouchPoints > 1);
  let silence = null;

  // 8-bit mono at 8 kHz, every sample at the middle (128), as a WAV file.
  function silentWav(samples) {
    const bytes = new Uint8Array(44 + samples).fill(128);
    const view = new DataView(bytes.buffer);
    const fields = [[0, "RIFF"], [4, 36 + samples], [8, "WAVEfmt "], [16, 16], [20, 1, 2],
                    [22, 1, 2], [24, 8000], [28, 8000], [32, 1, 2], [34, 8, 2], [36, "data"],
                    [40, samples]];
    for (const [at, value, size] of fields) {
      if (typeof value === "string")
        for (let i = 0; i < value.length; ++i) bytes[at + i] = value.charCodeAt(i);
      else if (size === 2) view.setUint16(at, value, true);
      else view.setUint32(at, value, true);
    }
    return "data:audio/wav;base64," + btoa(String.fromCharCode.apply(null, bytes));
  }

  // In the gesture on RunDemo, with sound: a media element may start only in a gesture.
  function startPlaybackSession() {
    const note = (e) => console.warn("sound: with the ring switch on, an iPhone may keep the " +
                                     "show silent (" + (e && e.message ? e.message : e) + ")");
    if (navigator.audioSession) {
      try {
        navigator.audioSession.type = "playback";
      } catch (e) {
        note(e);
      }
      return;
    }
    if (!appleTouch || silence) return;
    silence = new Audio(silentWav(4000));
    silence.loop = true;
    silence.disableRemotePlayback = true;
    silence.setAttribute("x-webkit-airplay", "deny");
    silence.play().catch(note);
  }

  function endPlaybackSession() {
    if (silence) {
      silence.pause();
      silence.removeAttribute("src");
      silence.load();
      silence = null;
    }
    try {
      if (navigator.audioSession && navigator.audioSession.type === "playback")
        navigator.audioSession.type = "auto";
    } catch (e) {
      // The session stays as it was; nothing more plays.
    }
  }

  // The context's rate, or 0 when the browser has no audio output at all. A context that has
  // not started within 2 s (no gesture yet, or a browser that holds it back) is taken all the
  // same: the show plays silently, and the music joins in at the clock's place when it starts.
  page.openAudio = async function (rate) {
    startPlaybackSession();
    unlockAudio();
    if (!audio.context) makeContext();
    const context = audio.context;
    if (!context) {
      console.error("sound: this browser has no Web Audio");
      return 0;
    }
    if (context.state !== "running") {
      const wait = new Promise((resolve) => setTimeout(resolve, 2000));
      await Promise.race([context.resume().catch(() => {}), wait]);
    }
    if (context.state !== "running")
      console.warn("sound: the audio output has not started (" + context.state + "); the show " +
                   "plays silently until a key, click or tap starts it");
    return Math.round(context.sampleRate);
  };

  function mixInto(frames) {
    const pointer = Module._lanternwhirlMixSound(frames);
    return pointer ? Module.HEAPF32.subarray(pointer >> 2, (pointer >> 2) + 2 * frames) : null;
  }

  function stopSources() {
    for (const source of audio.sources) source.stop();
    audio.sources.clear();
    audio.queued.length = 0;
  }

  // Back from suspended or interrupted: what was queued before is stale, the clock has moved on.
  function onStateChange() {
    const context = audio.context;
    if (!context || !audio.frames || context.state !== "running") return;
    stopSources();
    audio.next = context.currentTime + startLeadSeconds;
    pumpAudio();
  }

  // The context's time heard now, and the page's clock at that moment in seconds: the output's
  // own timestamp where the browser gives a fresh one (it knows the output's latency; it stands
  // still while the output is suspended and for a moment after), else the time the context has
  // rendered to less the output's latency. Without that latency the two readings part by some
  // 40 ms (Chromium: 32 ms of output latency and a render quantum), and music queued on the one
  // (on waking, with 2.5 s queued ahead while hidden) is heard that far from the clock read by
  // the other, nearly a whole chunk.
  function outputNow() {
    const context = audio.context;
    const wall = performance.now() / 1000;
    const stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    if (stamp && stamp.performanceTime > 0 && wall - stamp.performanceTime / 1000 < 0.1 &&
        stamp.contextTime <= context.currentTime)
      return [stamp.contextTime, stamp.performanceTime / 1000];
    return [Math.max(0, context.currentTime - (context.outputLatency || context.baseLatency || 0)), wall];
  }

  // The song's frame that is due when the context's clock reads `when`.
  function duePosition(when) {
    const [contextTime, wall] = outputNow();
    return Math.round((wall + (when - contextTime) - audio.startWall) * audio.context.sampleRate);
  }

  function pumpAudio() {
    const context = audio.context;
    if (!audio.frames || !context || context.state !== "running") return;
    const rate = context.sampleRate;
    // Music the page could not queue in time (a slow or frozen page) is not played late.
    if (audio.next < context.currentTime) audio.next = context.currentTime + startLeadSeconds;
    const ahead = document.hidden ? hiddenAheadSeconds : aheadSeconds;
    while (audio.next < context.currentTime + ahead) {
      // More than a chunk behind the clock: skip there at once, however long the gap, rather
      // than mixing minutes of music to throw away. More than a chunk ahead: a moment's rest.
      const late = duePosition(audio.next) - audio.position;
      if (late > audio.frames) {
        Module._lanternwhirlSkipSound(late);
        audio.position += late;
        audio.skipped += late;
      } else if (late < -audio.frames) {
        audio.next -= late / rate;
        continue;
      }
      const samples = mixInto(audio.frames);
      if (!samples) return;
      const buffer = context.createBuffer(2, audio.frames, rate);
      const left = buffer.getChannelData(0), right = buffer.getChannelData(1);
      for (let i = 0; i < audio.frames; ++i) {
        left[i] = samples[2 * i];
        right[i] = samples[2 * i + 1];
      }
      const source = context.createBufferSource();
      source.buffer = buffer;
      source.connect(context.destination);
      source.onended = () => audio.sources.delete(source);
      audio.sources.add(source);
      audio.queued.push({ when: audio.next, position: audio.position, source });
      if (audio.queued.length > 64) audio.queued.shift();
      source.start(audio.next);
      audio.next += audio.frames / rate;
      audio.position += audio.frames;
    }
  }

  page.startAudio = function (frames) {
    if (!audio.context) return;
    audio.frames = frames;
    audio.startWall = performance.now() / 1000;
    audio.position = audio.skipped = 0;
    audio.next = audio.context.currentTime + startLeadSeconds;
    pumpAudio();
    audio.timer = setInterval(pumpAudio, 20);
  };

  // Silence at once, for a show that cannot go on drawing.
  page.muteAudio = function () {
    audio.frames = 0;
    stopSources();
    if (audio.context) audio.context.suspend().catch(() => {});
  };

  page.closeAudio = function () {
    clearInterval(audio.timer);
    audio.timer = 0;
    audio.frames = 0;
    stopSources();
    if (audio.context) audio.context.close().catch(() => {});
    audio.context = null;
    audio.closed = true;
    endPlaybackSession();
  };

  // For whoever checks the sound: the context's state, the frames skipped, and how far the
  // music heard now is from the show's clock, in frames (null while nothing is heard).
  page.audioState = function () {
    const context = audio.context;
    if (!context) return { state: "none", skipped: 0, offset: null };
    const [now] = outputNow();
    let offset = null;
    for (const { when, position, source } of audio.queued) {
      if (when <= now && now < when + source.buffer.duration && context.state === "running")
        offset = position + Math.round((now - when) * context.sampleRate) - duePosition(now);
    }
    return { state: context.state, skipped: audio.skipped, chunk: audio.frames, offset };
  };

  page.unlockAudio = unlockAudio;
  page.pumpAudio = pumpAudio;
})(lanternwhirlPage);
