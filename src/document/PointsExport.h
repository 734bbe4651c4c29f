#pragma once

#include <string>

class PlotData;

// The separators of the text forms of the points.
extern const char* const kTextSeparator; // " "
extern const char* const kCsvSeparator;  // ", "
extern const char* const kClipSeparator; // "\t"

// The text of all data sets with the separator, sorted as the data's sort flag says;
// lines end with "\n".
std::string PointsText(PlotData& data, const std::string& separator);
// The text of the current set only.
std::string CurrentSetText(PlotData& data, const std::string& separator);
// Writes the text of all sets for the format (text or comma separated), with the columns
// dX and dY when the preferences ask for them, with carriage
// return and line feed line ends; false when the file cannot be written (an existing file
// is then left as it was).
bool ExportPoints(PlotData& data, const std::string& path, int format);
