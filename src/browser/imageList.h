#pragma once

#include "searchRec.h"

#include <string>
#include <utility>
#include <vector>

namespace browser {

// The pictures of the chosen source folder and which one is current.
class ImageList {
public:
    enum class ScanOutcome { CannotEnter, NoPictures, Listed };

    // Enters the folder and lists its pictures. CannotEnter changes nothing;
    // NoPictures changes only SourceDir and the working directory; Listed
    // replaces the list and makes its first entry current.
    ScanOutcome Scan(const std::string& folder);

    void StepForward();
    void StepBack();

    bool Empty() const { return Files.empty(); }
    // The current entry, its size read now if the scan left it for later.
    const TSearchRec& CurrentEntry() const;
    int Position() const { return FileIndex + 1; }

    // The entries one step forward and one step back, without the current
    // one and without repeats.
    std::vector<const TSearchRec*> Neighbours() const;

    // "Jméno: <folder>/<name>" and "Velikost: <size>".
    std::pair<std::string, std::string> InfoLines(const TSearchRec& entry) const;

    const std::vector<TSearchRec>& files() const { return Files; }
    int fileIndex() const { return FileIndex; }
    const std::string& sourceDir() const { return SourceDir; }

private:
    // Sizes are read when an entry is first needed, so a folder of a hundred
    // thousand entries is listed without a system call for each.
    mutable std::vector<TSearchRec> Files;
    std::string listedFolder_; // where the entries of Files live
    int FileIndex = 0;
    std::string SourceDir;
};

} // namespace browser
