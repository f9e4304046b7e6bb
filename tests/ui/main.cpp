// The test program's entry: a QApplication on the offscreen platform, with
// the user's home pointed at a temporary folder so the folder chooser's tree
// does not depend on the machine. Each test points HOME at its own folder
// again before it builds a window.

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>

int main(int argc, char** argv) {
    // gtest_discover_tests runs this program at build time to list the tests;
    // without a display the default platform would abort it.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Keep the picture at one picture pixel per device pixel.
    ::unsetenv("QT_SCALE_FACTOR");
    ::unsetenv("QT_SCREEN_SCALE_FACTORS");
    ::unsetenv("QT_ENABLE_HIGHDPI_SCALING");
    // The desktop folder comes from $XDG_CONFIG_HOME/user-dirs.dirs, else
    // $HOME/Desktop: with XDG_CONFIG_HOME unset it follows HOME.
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DESKTOP_DIR");

    std::string home = (std::filesystem::temp_directory_path() / "tollvane-home-XXXXXX").string();
    if (::mkdtemp(home.data()) == nullptr)
        return 2;
    ::setenv("HOME", home.c_str(), 1);
    const std::string runtime = home + "/runtime";
    ::mkdir(runtime.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

    int result = 0;
    {
        QApplication application(argc, argv);
        // Tests close main windows; that must not end anything.
        application.setQuitOnLastWindowClosed(false);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return result;
}
