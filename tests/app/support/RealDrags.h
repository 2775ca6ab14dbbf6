#pragma once

// Drag and drop in the tests: the offscreen platform ends every drag as soon as it starts,
// the minimal platform runs it as a desktop does, with its own loop that follows the mouse.

// True when drags run on this platform. Otherwise the current test is run again, whole, in a
// child process on the minimal platform, whose result becomes this test's; false then, and
// the test returns.
bool RealDragsHere();
