#pragma once
// Message pumping and window units. All work runs on the one UI thread; long
// operations keep the windows alive by pumping pending events, as the program
// has always done.

namespace platform {

// Processes the pending window events once (DoEvents).
void doEvents();
// Processes the pending window events, first waiting for one when none is
// pending (a reply, a timer, the user): a wait that does not spin.
void waitForEvents();

inline constexpr int TwipsPerPixel = 15;
// To the nearest pixel, halves away from zero (negative positions too).
inline constexpr int twipsToPixels(double twips)
{
    const double pixels = twips / TwipsPerPixel;
    return pixels < 0 ? -static_cast<int>(-pixels + 0.5) : static_cast<int>(pixels + 0.5);
}
inline constexpr double pixelsToTwips(int pixels) { return static_cast<double>(pixels) * TwipsPerPixel; }

}  // namespace platform
