// The "Save BMP screenshot" button's writer: the captured game frame to the next free
// "screenshot%d.bmp" in the working folder.
#pragma once

// Called by the buttons in the frame "Save BMP screenshot" is clicked. Writes backdropCapture
// under the number the record store takes (on the desktop the first no file, nor link, uses),
// never replacing a file, and hands the file over; a failed write leaves no file behind, and
// with no capture surface nothing is written. True when a file was written.
bool saveScreenshot();
