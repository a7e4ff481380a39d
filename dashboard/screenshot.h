// The "Save BMP screenshot" button's writer: the captured game frame to the next free
// "screenshot%d.bmp" in the working folder.
#pragma once

// Called by the buttons in the frame "Save BMP screenshot" is clicked. Writes backdropCapture
// under the first number no file (or link, even a dangling one) uses, never replacing a file;
// a failed write leaves no file behind, and with no capture surface nothing is written.
// True when a file was written.
bool saveScreenshot();
