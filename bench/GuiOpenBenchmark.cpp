// What the translator waits for when opening a big project in the desktop
// application: the project and dictionary files read, the contents tree and
// the dictionary list filled, and the window painted with the tree and the
// first page of the item list. Runs offscreen; figures are wall-clock time.
//
// Our target for a 100,000-item project with a 200,000-entry dictionary is
// under 150 ms from the open to the painted window.
//
// A second benchmark times the item list alone: showing the node with the
// most children (the strings of one table, or a dialog's controls) and
// painting the first page, which is what every click in the tree costs.
// A third times the filter bar over the flat list of every item, from the
// pause in typing to the painted list.

#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdint>
#include <memory>
#include <string>

#include "GeneratedModules.h"
#include "io/Heap.h"
#include "project/Project.h"
#include "ui/ContentsModel.h"
#include "ui/MainFrame.h"
#include "ui/QuillonDoc.h"
#include "ui/StringFilter.h"
#include "ui/StringListModel.h"

namespace {

namespace bench = quillon::bench;

using quillon::CProject;
using quillon::CResourceItem;
using quillon::gui::CMainFrame;

using bench::SavedProject;

const SavedProject& Project() {
    static SavedProject saved = bench::SaveLargeProject(bench::Scratch(), "gui-app");
    return saved;
}

// Lays out and paints the whole window, as the first frame after the open.
void Paint(CMainFrame& frame) {
    QApplication::processEvents();
    benchmark::DoNotOptimize(frame.grab());
}

// Shows `frame` at a fixed size; false, with the benchmark skipped, when the
// project could not be prepared.
bool ShowWindow(benchmark::State& state, CMainFrame& frame) {
    if (const std::string& error = Project().error; !error.empty()) {
        state.SkipWithError(error.c_str());
        return false;
    }
    frame.resize(1200, 800);
    frame.show();
    Paint(frame);
    return true;
}

// Opens the project and paints the window; false, with the benchmark
// skipped, when it does not open.
bool OpenAndPaint(benchmark::State& state, CMainFrame& frame) {
    if (!frame.OpenProject(QString::fromStdString(Project().path))) {
        state.SkipWithError("the project did not open");
        return false;
    }
    Paint(frame);
    return true;
}

void BM_GuiOpenProject(benchmark::State& state) {
    CMainFrame frame;
    if (!ShowWindow(state, frame)) return;
    for (auto _ : state)
        if (!OpenAndPaint(state, frame)) return;
    if (frame.Contents().rowCount() == 0 || frame.StringView()->model()->rowCount() == 0)
        state.SkipWithError("the window shows no tree or no list after the open");
    state.counters["items"] = static_cast<double>(Project().items);
    state.counters["dictionary entries"] = static_cast<double>(Project().dictionaryEntries);
}

// The tree node with the most children under `parent`, searched depth first.
QModelIndex Largest(const quillon::gui::CContentsModel& model, const QModelIndex& parent, std::size_t& bestRows) {
    QModelIndex best;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        QModelIndex child = model.index(row, 0, parent);
        if (CResourceItem* item = model.ItemAt(child)) {
            if (item->GetCount() > bestRows) {
                bestRows = item->GetCount();
                best = child;
            }
        }
        if (QModelIndex deeper = Largest(model, child, bestRows); deeper.isValid()) best = deeper;
    }
    return best;
}

void BM_GuiShowLargestList(benchmark::State& state) {
    CMainFrame frame;
    if (!ShowWindow(state, frame) || !OpenAndPaint(state, frame)) return;
    std::size_t rows = 0;
    QModelIndex largest = Largest(frame.Contents(), {}, rows);
    QModelIndex first = frame.Contents().index(0, 0);
    int shownRows = 0;
    for (auto _ : state) {
        frame.ContentsView()->setCurrentIndex(largest);
        Paint(frame);
        state.PauseTiming();
        shownRows = frame.Strings().rowCount();
        frame.ContentsView()->setCurrentIndex(first); // so the next selection changes again
        Paint(frame);
        state.ResumeTiming();
    }
    if (shownRows == 0) state.SkipWithError("the largest node showed no rows");
    state.counters["rows"] = static_cast<double>(shownRows);
}

// Typing in the filter bar over the flat list of every item: each pass
// reads every row's source and translation. Numbers that some rows hold,
// as plain text (the default) and as a regular expression; the texts
// alternate so that every pass changes the rows shown.
void BM_GuiFilterEveryItem(benchmark::State& state, bool regularExpression) {
    CMainFrame frame;
    if (!ShowWindow(state, frame) || !OpenAndPaint(state, frame)) return;
    frame.OnFlatView(true);
    Paint(frame);
    quillon::gui::ListFilter filter;
    filter.regularExpression = regularExpression;
    const QString plain[] = {QStringLiteral("42"), QStringLiteral("4")};
    const QString patterns[] = {QStringLiteral("42\\d"), QStringLiteral("4\\d\\b")};
    int pass = 0;
    int shownRows = 0;
    for (auto _ : state) {
        filter.text = (regularExpression ? patterns : plain)[pass++ % 2];
        emit frame.FilterBar()->filterChanged(filter); // as when typing pauses
        Paint(frame);
        shownRows = frame.ListFilterModel().rowCount();
    }
    if (shownRows == 0) state.SkipWithError("the filter let no row through");
    state.counters["rows"] = static_cast<double>(frame.Strings().rowCount());
    state.counters["shown"] = static_cast<double>(shownRows);
}

} // namespace

BENCHMARK_CAPTURE(BM_GuiFilterEveryItem, plain, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_GuiFilterEveryItem, pattern, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GuiOpenProject)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GuiShowLargestList)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    quillon::PrepareHeapForLargeTrees(); // as the application does
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config; // the window's settings go here, not to the user's
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
