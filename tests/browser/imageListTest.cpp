#include "imageList.h"
#include "jpegFixtures.h"
#include "testFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using browser::ImageList;
using Outcome = ImageList::ScanOutcome;

enum class Kind { File, Folder, Fifo, DanglingLink };

struct Entry {
    std::string Name;
    Kind Type = Kind::File;
    bool Listed = false;
};

void makeEntry(const std::string& folder, const Entry& entry) {
    const std::string path = folder + "/" + entry.Name;
    switch (entry.Type) {
    case Kind::File:
        // Sizes differ per name, so a size taken from the wrong entry shows.
        fixtures::WriteFile(path, std::vector<unsigned char>(entry.Name.size() * 7 + 1, 'x'));
        break;
    case Kind::Folder:
        testfiles::MakeFolder(path);
        fixtures::WriteFile(path + "/inner.jpg", {1, 2, 3}); // not listed: no recursion
        break;
    case Kind::Fifo:
        testfiles::MakeFifo(path);
        break;
    case Kind::DanglingLink:
        testfiles::MakeSymlink("no-such-target", path);
        break;
    }
}

std::vector<std::string> namesOf(const ImageList& list) {
    std::vector<std::string> names;
    for (const auto& entry : list.files())
        names.push_back(entry.Name);
    return names;
}

struct ScanCase {
    const char* Label;
    // Folder to make under the temporary folder; nullptr for none.
    const char* Folder;
    std::vector<Entry> Entries;
    // Path handed to Scan: "@" stands for the made folder.
    std::string ScanPath;
    Outcome Expected;
};

// Every case starts from a list that holds the pictures of an earlier folder
// with the second one current, so what each outcome keeps and replaces shows.
TEST(ImageListScan, OutcomesOverRealFolders) {
    const std::vector<ScanCase> cases = {
        {"every entry ending in .jpg in any case, nothing else",
         "mixed",
         {{"A.JPG", Kind::File, true},
          {"b.Jpg", Kind::File, true},
          {"c.jpg", Kind::File, true},
          {".x.jpg", Kind::File, true},
          {".jpg", Kind::File, true},
          {"old.jpg", Kind::Folder, true},
          {"pipe.jpg", Kind::Fifo, true},
          {"gone.jpg", Kind::DanglingLink, true},
          {"\xE9t\xE9.jpg", Kind::File, true}, // Latin-1 bytes, not UTF-8
          {"m1.jpg", Kind::File, true},
          {"m2.jpg", Kind::File, true},
          {"m3.jpg", Kind::File, true},
          {"x.jpeg", Kind::File, false},
          {"x.jpg.bak", Kind::File, false},
          {"jpg", Kind::File, false},
          {"xjpg", Kind::File, false},
          {"x.png", Kind::File, false},
          {"x.jpg ", Kind::File, false},
          {"sub", Kind::Folder, false}},
         "@",
         Outcome::Listed},
        {"a folder holding only A.JPG",
         "single",
         {{"A.JPG", Kind::File, true}},
         "@",
         Outcome::Listed},
        {"the folder as given, with a trailing separator",
         "trailing",
         {{"p.jpg", Kind::File, true}},
         "@/",
         Outcome::Listed},
        {"empty folder", "empty", {}, "@", Outcome::NoPictures},
        {"folder without matches after one with matches",
         "nomatch",
         {{"x.jpeg", Kind::File, false},
          {"x.jpg.bak", Kind::File, false},
          {"jpg", Kind::File, false},
          {"sub", Kind::Folder, false}},
         "@",
         Outcome::NoPictures},
        {"missing folder", nullptr, {}, "@/no-such-folder", Outcome::CannotEnter},
        {"regular file given as folder",
         "plain",
         {{"f.jpg", Kind::File, true}},
         "@/f.jpg",
         Outcome::CannotEnter},
        {"path through a regular file",
         "through",
         {{"f", Kind::File, false}},
         "@/f/sub",
         Outcome::CannotEnter},
        {"virtual folder name", nullptr, {}, "computer:///", Outcome::CannotEnter},
        {"empty path", nullptr, {}, "", Outcome::CannotEnter},
    };

    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.Label);
        testfiles::WorkingDirectoryGuard guard;
        fixtures::TempDir tmp;

        const std::string earlier = tmp.File("earlier");
        testfiles::MakeFolder(earlier);
        for (const char* name : {"e1.jpg", "e2.jpg", "e3.jpg"})
            makeEntry(earlier, {name, Kind::File, true});
        ImageList list;
        ASSERT_EQ(list.Scan(earlier), Outcome::Listed);
        list.StepForward();
        const std::vector<std::string> earlierNames = namesOf(list);
        const std::string earlierCwd = testfiles::CurrentDirectory();

        std::string folder = c.Folder ? tmp.File(c.Folder) : tmp.Path();
        if (c.Folder) {
            testfiles::MakeFolder(folder);
            for (const Entry& entry : c.Entries)
                makeEntry(folder, entry);
        }
        std::string path = c.ScanPath;
        if (path.rfind('@', 0) == 0)
            path = folder + path.substr(1);

        ASSERT_EQ(list.Scan(path), c.Expected);

        if (c.Expected == Outcome::CannotEnter) {
            EXPECT_EQ(list.sourceDir(), earlier);
            EXPECT_EQ(testfiles::CurrentDirectory(), earlierCwd);
        } else {
            EXPECT_EQ(list.sourceDir(), path); // exactly as given
            EXPECT_EQ(testfiles::CurrentDirectory(), testfiles::RealPath(folder));
        }

        if (c.Expected != Outcome::Listed) {
            EXPECT_EQ(namesOf(list), earlierNames);
            EXPECT_EQ(list.fileIndex(), 1);
            continue;
        }

        // The order is readdir's own, whatever it is; only the selection is ours.
        std::set<std::string> wanted;
        for (const Entry& entry : c.Entries)
            if (entry.Listed)
                wanted.insert(entry.Name);
        std::vector<std::string> expected;
        for (const std::string& name : testfiles::ReaddirNames(folder))
            if (wanted.count(name))
                expected.push_back(name);
        ASSERT_EQ(expected.size(), wanted.size());
        EXPECT_EQ(namesOf(list), expected);
        EXPECT_EQ(list.fileIndex(), 0);
        EXPECT_EQ(list.Position(), 1);
        // Sizes are read as each entry becomes current.
        for (size_t i = 0; i < list.files().size(); ++i, list.StepForward()) {
            const auto& entry = list.CurrentEntry();
            EXPECT_EQ(entry.Size, testfiles::EntrySize(folder + "/" + entry.Name)) << entry.Name;
        }
    }
}

// As root every folder can be entered, so the refusal is made by a child
// process that gives up root first.
TEST(ImageListScan, FolderThatCannotBeEnteredChangesNothing) {
    fixtures::TempDir tmp;
    const std::string earlier = tmp.File("earlier");
    const std::string locked = tmp.File("locked");
    testfiles::MakeFolder(earlier);
    testfiles::MakeFolder(locked);
    fixtures::WriteFile(earlier + "/a.jpg", {1});
    fixtures::WriteFile(locked + "/b.jpg", {2});
    ASSERT_EQ(::chmod(tmp.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Exit codes: 0 as expected, 77 when the refusal cannot be set up.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(77);
        if (::access(locked.c_str(), X_OK) == 0)
            ::_exit(77);
        ImageList list;
        if (list.Scan(earlier) != Outcome::Listed)
            ::_exit(1);
        const std::string cwd = testfiles::CurrentDirectory();
        if (list.Scan(locked) != Outcome::CannotEnter)
            ::_exit(2);
        if (list.sourceDir() != earlier || list.files().size() != 1 ||
            list.files()[0].Name != "a.jpg" || list.fileIndex() != 0)
            ::_exit(3);
        if (testfiles::CurrentDirectory() != cwd)
            ::_exit(4);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::chmod(locked.c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "cannot make a folder that this process may not enter";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: first scan, 2: outcome, 3: list changed, 4: cwd moved";
}

TEST(ImageListNavigation, StepsWrapAtBothEnds) {
    for (int count : {1, 2, 5}) {
        SCOPED_TRACE("pictures: " + std::to_string(count));
        testfiles::WorkingDirectoryGuard guard;
        fixtures::TempDir tmp;
        for (int i = 0; i < count; ++i)
            fixtures::WriteFile(tmp.File("p" + std::to_string(i) + ".jpg"), {1});
        ImageList list;
        ASSERT_EQ(list.Scan(tmp.Path()), Outcome::Listed);
        ASSERT_EQ(static_cast<int>(list.files().size()), count);

        for (int step = 1; step <= count; ++step) {
            list.StepForward();
            EXPECT_EQ(list.fileIndex(), step % count);
            EXPECT_EQ(list.Position(), step % count + 1);
            EXPECT_EQ(list.CurrentEntry().Name,
                      list.files()[static_cast<size_t>(step % count)].Name);
        }
        // Back from the first entry to the last: the position is the count.
        list.StepBack();
        EXPECT_EQ(list.fileIndex(), count - 1);
        EXPECT_EQ(list.Position(), count);
        for (int step = 1; step < count; ++step) {
            list.StepBack();
            EXPECT_EQ(list.fileIndex(), count - 1 - step);
        }
        list.StepBack();
        EXPECT_EQ(list.fileIndex(), count - 1);
    }
}

TEST(ImageListInfo, NameAndFullSize) {
    testfiles::WorkingDirectoryGuard guard;
    fixtures::TempDir tmp;
    struct Big {
        const char* Name;
        std::int64_t Size;
        const char* Shown;
    };
    // Sizes at and past the 32-bit limits of a signed and an unsigned size.
    const Big bigs[] = {{"two.jpg", 2147483648LL, "Velikost: 2147483648"},
                        {"three.jpg", 3221225472LL, "Velikost: 3221225472"},
                        {"four.jpg", 4294967297LL, "Velikost: 4294967297"}};
    for (const Big& big : bigs)
        testfiles::MakeSparseFile(tmp.File(big.Name), big.Size);
    fixtures::WriteFile(tmp.File("small.jpg"), {1, 2, 3, 4, 5});

    for (const std::string& folder : {tmp.Path(), tmp.Path() + "/"}) {
        SCOPED_TRACE(folder);
        ImageList list;
        ASSERT_EQ(list.Scan(folder), Outcome::Listed);
        ASSERT_EQ(list.files().size(), 4u);
        for (size_t i = 0; i < list.files().size(); ++i, list.StepForward()) {
            const auto& entry = list.CurrentEntry();
            const auto [name, size] = list.InfoLines(entry);
            EXPECT_EQ(name, "Jméno: " + folder + "/" + entry.Name);
            std::string shown = "Velikost: 5"; // small.jpg
            for (const Big& big : bigs) {
                if (entry.Name == big.Name)
                    shown = big.Shown;
            }
            EXPECT_EQ(size, shown);
        }
    }

    // The separator is added even after the root folder's own.
    ImageList root;
    ASSERT_NE(root.Scan("/"), Outcome::CannotEnter);
    const auto [name, size] = root.InfoLines({"name.jpg", 0});
    EXPECT_EQ(name, "Jméno: //name.jpg");
    EXPECT_EQ(size, "Velikost: 0");
}

} // namespace
