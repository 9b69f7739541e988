// The pair overview over a log of 10,000 pairs, offscreen: time from handing
// it the pairs to its first paint, time to page through the whole table with
// a paint per page, time until every row's facts and thumbnails are in, and
// time to fold the groups of copies and to open one.
// The pictures are 300 small JPEGs made in a temporary folder, paired round.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "match_list.h"
#include "pair_overview_dlg.h"
#include "pair_overview_model.h"

namespace {

constexpr int kPairs = 10'000;
constexpr int kImages = 300;

/// Counts paints of one widget.
class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

MatchList makePairs(const QTemporaryDir& dir) {
    std::vector<std::string> images;
    for (int i = 0; i < kImages; ++i) {
        QImage image(320 + i % 7 * 16, 240, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 37 % 360, 200, 120 + i % 100));
        QPainter(&image).drawEllipse(20 + i % 50, 20, 100, 80);
        const QString path = dir.filePath(QStringLiteral("img%1.jpg").arg(i));
        image.save(path, "JPG", 85);
        images.push_back(path.toStdString());
    }
    MatchList list;
    list.m_logView = {"; --- Duplicates Info ---", "; Match total: 10000", "-- Matches --"};
    for (int p = 0; p < kPairs; ++p) {
        const std::string& left = images[static_cast<std::size_t>(p % kImages)];
        const std::string& right = images[static_cast<std::size_t>((p * 7 + 1) % kImages)];
        list.m_logView.push_back("; Match no: " + std::to_string(p + 1));
        list.m_logView.push_back("Image 1 path: " + left);
        list.m_logView.push_back("Image 2 path: " + right);
        list.m_logView.push_back("; % matching: " + std::to_string(90 + p % 10) + ".5");
        list.m_logView.push_back("; -------");
        list.m_leftPaths.push_back(left);
        list.m_rightPaths.push_back(right);
    }
    list.m_logView.push_back(";");
    list.recordPairLines();
    return list;
}

void BM_PairOverview(benchmark::State& state) {
    QTemporaryDir dir;
    const MatchList list = makePairs(dir);
    const std::vector<int> sequence(kDefaultDeleteSequence.begin(), kDefaultDeleteSequence.end());
    for (auto _ : state) {
        PairOverviewDlg view;
        PaintCounter counter;
        view.table()->viewport()->installEventFilter(&counter);
        QElapsedTimer clock;
        clock.start();
        view.showPairs(list, sequence);
        view.show();
        if (!QTest::qWaitFor([&] { return counter.paints > 0; }, 60000)) {
            state.SkipWithError("no paint");
            return;
        }
        const double firstPaint = clock.nsecsElapsed() / 1e6;

        clock.restart();
        QScrollBar* bar = view.table()->verticalScrollBar();
        int pages = 0;
        for (int at = 0; at <= bar->maximum(); at += std::max(1, bar->pageStep())) {
            bar->setValue(at);
            view.table()->viewport()->repaint();
            QCoreApplication::processEvents();
            ++pages;
        }
        const double scroll = clock.nsecsElapsed() / 1e6;

        clock.restart();
        if (!QTest::qWaitFor([&] { return view.model()->allLoaded(); }, 600000)) {
            state.SkipWithError("rows not read");
            return;
        }
        const double allRead = clock.nsecsElapsed() / 1e6;

        // Folding the groups of copies and opening the first one again.
        clock.restart();
        view.model()->setFolded(true);
        view.table()->viewport()->repaint();
        QCoreApplication::processEvents();
        const double fold = clock.nsecsElapsed() / 1e6;
        const int foldedRows = view.table()->model()->rowCount();
        clock.restart();
        view.model()->toggleGroup(0);
        view.table()->viewport()->repaint();
        QCoreApplication::processEvents();
        const double open = clock.nsecsElapsed() / 1e6;
        state.counters["first_paint_ms"] = firstPaint;
        state.counters["full_scroll_ms"] = scroll;
        state.counters["pages"] = pages;
        state.counters["ms_per_page"] = scroll / std::max(pages, 1);
        state.counters["all_rows_read_ms"] = allRead;
        state.counters["fold_ms"] = fold;
        state.counters["folded_rows"] = foldedRows;
        state.counters["open_group_ms"] = open;
        state.SetIterationTime((firstPaint + scroll) / 1e3);
    }
}
BENCHMARK(BM_PairOverview)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace
