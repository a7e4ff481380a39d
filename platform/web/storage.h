// The game's folder on the page: the working folder holds Media and the screenshots, the best
// score lives in the save folder that the browser keeps, and each change there is stored at once.
#pragma once

// Called once by the web entry before start-up: enters the game's folder, links the best
// score's file into the save folder and takes the screenshot numbers used by earlier visits.
void prepareGameFolder();
// Called by the web frame loop after every frame: stores the save folder when the best score's
// file changed, and hands each new screenshot to the browser as a download.
void noteSavedFiles();
