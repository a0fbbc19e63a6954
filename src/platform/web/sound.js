// The page's sound: a Web Audio output the program's mixer feeds chunk by chunk.
"use strict";

(function (page) {
  // ---- Sound ------------------------------------------------------------------------------

  // Music queued ahead of what is heard: enough to ride over a slow frame, more while the page
  // is hidden and its timers run only once a second.
  const aheadSeconds = 0.25, hiddenAheadSeconds = 2.5, startLeadSeconds = 0.02;
  const audio = { context: null, next: 0, frames: 0, timer: 0, sources: new Set() };

  // Browsers start sound only in a user's gesture: the dialog's keys and clicks open the
  // context, which the program takes when it starts its music.
  function unlockAudio() {
    if (page.mode) return;
    if (audio.context) {
      if (audio.context.state === "suspended") audio.context.resume().catch(() => {});
      return;
    }
    // A modifier key alone is no gesture: the context would be made but not allowed to start.
    if (navigator.userActivation && !navigator.userActivation.isActive) return;
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
    audio.context.resume().catch(() => {});
  }

  // The context's rate, or 0 when there is no audio output or it will not start.
  page.openAudio = async function (rate) {
    unlockAudio();
    const context = audio.context;
    if (!context) {
      console.error("sound: this browser has no Web Audio");
      return 0;
    }
    if (context.state !== "running") {
      const wait = new Promise((resolve) => setTimeout(resolve, 2000));
      await Promise.race([context.resume().catch(() => {}), wait]);
    }
    if (context.state !== "running") {
      console.error("sound: the audio output did not start (" + context.state + ")");
      return 0;
    }
    return Math.round(context.sampleRate);
  };

  function mixInto(frames) {
    const pointer = Module._lanternwhirlMixSound(frames);
    return pointer ? Module.HEAPF32.subarray(pointer >> 2, (pointer >> 2) + 2 * frames) : null;
  }

  function pumpAudio() {
    const context = audio.context;
    if (!audio.frames || !context) return;
    const rate = context.sampleRate;
    // Music the page could not queue in time is mixed and dropped, so that the song keeps its
    // place against the clock, as a device that played on would.
    if (audio.next < context.currentTime) {
      let late = Math.round((context.currentTime - audio.next) * rate);
      while (late > 0) {
        const n = Math.min(late, audio.frames);
        mixInto(n);
        late -= n;
      }
      audio.next = context.currentTime + startLeadSeconds;
    }
    const ahead = document.hidden ? hiddenAheadSeconds : aheadSeconds;
    while (audio.next < context.currentTime + ahead) {
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
      source.start(audio.next);
      audio.next += audio.frames / rate;
    }
  }

  page.startAudio = function (frames) {
    if (!audio.context) return;
    audio.frames = frames;
    audio.next = audio.context.currentTime + startLeadSeconds;
    pumpAudio();
    audio.timer = setInterval(pumpAudio, 20);
  };

  page.closeAudio = function () {
    clearInterval(audio.timer);
    audio.timer = 0;
    audio.frames = 0;
    for (const source of audio.sources) source.stop();
    audio.sources.clear();
    if (audio.context) audio.context.close().catch(() => {});
    audio.context = null;
  };

  page.unlockAudio = unlockAudio;
  page.pumpAudio = pumpAudio;
})(lanternwhirlPage);
