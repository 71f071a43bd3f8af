#pragma once
// Wrapping of the operation descriptions on the start page: lines of at most a number of
// characters, broken after a space or a backslash. Lengths count characters (UTF-8 code points).
#include <string>

namespace tellvane {

// Characters per line of a description; the window sets it once it knows its font.
extern int DescLineChars;
// The count for a list LISTWIDTH pixels wide whose font draws the letter "a" LETTERWIDTH pixels
// wide: LISTWIDTH div LETTERWIDTH, minus 4.
int DescLineCharsFor(int listWidth, int letterWidth);

// The length of the first line of TEXT for lines of MAXCHARS: the whole text when it is shorter
// than MAXCHARS (or empty); otherwise up to and including the last space or backslash among its
// first MAXCHARS characters; the whole text when there is none.
int DescBreakPos(const std::string& text, int maxChars);
// Number of lines TEXT takes.
int CountDescLines(const std::string& text, int lineChars = DescLineChars);
// Takes the next line off REST: all of it when it is shorter than LINECHARS (REST then stays as it
// is: it was the last line); otherwise the first DescBreakPos characters, removed from REST.
std::string TakeDescLine(std::string& rest, int lineChars = DescLineChars);

}  // namespace tellvane
