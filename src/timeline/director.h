// The director: composes one whole frame of the show from the elapsed second.
#pragma once

// Draws one frame and returns true (always).
bool drawTimelineFrame();
