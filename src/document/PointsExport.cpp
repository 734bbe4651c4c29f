#include "document/PointsExport.h"

#include "document/CPreferences.h"
#include "document/FileWriter.h"
#include "document/SaveFormat.h"
#include "model/DbSetMgr.h"
#include "tasks/PlotData.h"

const char* const kTextSeparator = " ";
const char* const kCsvSeparator = ", ";
const char* const kClipSeparator = "\t";

std::string PointsText(PlotData& data, const std::string& separator)
{
    std::string text;
    data.GetSetMgr()->WriteAllSets(text, separator, data.GetSortFlag() ? 1 : 0);
    return text;
}

std::string CurrentSetText(PlotData& data, const std::string& separator)
{
    std::string text;
    data.GetSetMgr()->WriteCurrentSet(text, separator, data.GetSortFlag() ? 1 : 0);
    return text;
}

bool ExportPoints(PlotData& data, const std::string& path, int format)
{
    std::string text;
    data.GetSetMgr()->WriteAllSets(text, format == kFormatCsv ? kCsvSeparator : kTextSeparator,
                                   data.GetSortFlag() ? 1 : 0,
                                   GetPreferences().m_uncertaintyColumns != 0);
    // Text files get CR LF line ends, as a text-mode stream of the desktop writes them.
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return WriteFileSafely(path, out.data(), out.size());
}
