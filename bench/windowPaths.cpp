#include "windowPaths.h"

#include "mainWindow.h"
#include "pictureView.h"
#include "timing.h"
#include "windowDriver.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollArea>

#include <cstdio>
#include <stdexcept>

namespace bench {
namespace {

constexpr double kMaxPreloadedMs = 16;
constexpr double kMaxPreloadedRatio = 0.15;

// One step forward as the user clicks it, until the new picture is painted.
double stepForward(TForm1& form) {
    const int before = form.Images().Position();
    const double milliseconds = TimeMs([&] {
        form.Button1->click();
        form.Image2->repaint();
    });
    const browser::TJPEGImage* shown = form.Image2->Picture().Graphic();
    if (form.Images().Position() == before || shown == nullptr || !shown->DecodedWell())
        throw std::runtime_error("the step forward did not show a decoded picture");
    QApplication::processEvents(); // the rest of the window, outside the timing
    return milliseconds;
}

std::vector<double> preloadedSteps(TForm1& form, int runs) {
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        form.WaitForPreloads();
        samples.push_back(stepForward(form));
    }
    return samples;
}

// The same picture area without a preloader: every load reads, decodes on
// paint, and paints.
std::vector<double> coldSteps(const QSize& area, const std::vector<std::string>& files, int runs) {
    QScrollArea window;
    window.resize(area);
    auto* view = new PictureView;
    window.setWidget(view);
    window.show();
    QApplication::processEvents();
    std::vector<double> samples;
    for (int run = 0; run <= runs; ++run) {
        const std::string& file = files[static_cast<size_t>(run) % files.size()];
        const double milliseconds = TimeMs([&] {
            view->LoadPicture(file);
            view->repaint();
        });
        const browser::TJPEGImage* shown = view->Picture().Graphic();
        if (shown == nullptr || !shown->DecodedWell())
            throw std::runtime_error("the picture view did not decode " + file);
        QApplication::processEvents();
        if (run > 0) // the first one warms up
            samples.push_back(milliseconds);
    }
    return samples;
}

} // namespace

Row MeasureNextPicture(int& argc, char** argv, const std::string& folder,
                       const std::vector<std::string>& coldFiles, const PictureSize& size,
                       int runs) {
    std::printf("measuring: next picture in the main window\n");
    std::fflush(stdout);
    QApplication application(argc, argv);
    TForm1 form;
    ShowMainWindow(form);
    OpenPictureFolder(form, folder);

    Row row;
    row.Path = "next picture " + size.Label() + " (preloaded vs cold)";
    char goal[64];
    std::snprintf(goal, sizeof goal, "≤ %.0f ms and ≤ %.2f×", kMaxPreloadedMs, kMaxPreloadedRatio);
    row.Goal = goal;
    try {
        form.WaitForPreloads();
        stepForward(form); // warms up
        const double preloaded = Median(preloadedSteps(form, runs));
        const double cold = Median(coldSteps(form.ScrollBox2->size(), coldFiles, runs));
        const double ratio = preloaded / cold;
        row.Ours = FormatMs(preloaded);
        row.Reference = FormatMs(cold) + " cold";
        row.Ratio = FormatRatio(ratio);
        row.Result = preloaded <= kMaxPreloadedMs && ratio <= kMaxPreloadedRatio ? Verdict::Pass
                                                                                 : Verdict::Fail;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "  failed: %s\n", error.what());
    }
    return row;
}

} // namespace bench
