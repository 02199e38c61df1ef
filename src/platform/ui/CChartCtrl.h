#pragma once

#include <string>
#include <vector>

#include "platform/ui/CWnd.h"

class QChart;
class QChartView;

// Colours as "#rrggbb" texts; series colours are used in turn.
struct ChartColours {
    std::string background = "#ffffff";
    std::string text = "#000000";
    std::string grid = "#d0d0d0";
    std::vector<std::string> series{"#3060a0", "#c06030"};
};

struct ChartSlice {
    std::string label;
    double value;
};

struct ChartSeries {
    std::string name;
    std::vector<double> values;  // one per category
};

// A chart in a custom control of the template: a pie, grouped bars, or a note instead of an
// empty picture. The control's accessible description says what it shows, for those who
// cannot see it; the dialog keeps a table beside it as the full text.
class CChartCtrl : public CWnd {
public:
    void SetColours(const ChartColours& colours) { m_colours = colours; }

    void ShowPie(const std::string& title, const std::vector<ChartSlice>& slices);
    void ShowBars(const std::string& title, const std::vector<std::string>& categories,
                  const std::vector<ChartSeries>& series);
    // An empty chart with the note in its middle.
    void ShowNote(const std::string& title, const std::string& note);

    // The chart as shown, as a PNG file; false when it cannot be written.
    bool SaveImage(const std::string& path) const;

    enum class Kind { None, Pie, Bars, Note };
    Kind GetKind() const { return m_kind; }
    std::string GetTitle() const { return m_strTitle; }
    std::string GetNote() const { return m_strNote; }
    // Slices of a pie, or bars of a bar chart (categories times series).
    int GetMarkCount() const { return m_nMarks; }

protected:
    void PreSubclassWindow() override;

private:
    QChart* NewChart(const std::string& title);
    void Describe(const std::string& text);

    QChartView* m_pView = nullptr;
    ChartColours m_colours;
    Kind m_kind = Kind::None;
    std::string m_strTitle;
    std::string m_strNote;
    int m_nMarks = 0;
};
