#include "imageList.h"

#include "directorySearch.h"
#include "fileServices.h"

namespace browser {

ImageList::ScanOutcome ImageList::Scan(const std::string& folder) {
    if (!ChangeDirectory(folder))
        return ScanOutcome::CannotEnter;
    SourceDir = folder;

    // The folder is now the working directory; listing "." reads exactly it.
    std::vector<TSearchRec> found = FindPictures(".", EntrySizes::Later);
    if (found.empty())
        return ScanOutcome::NoPictures;

    Files = std::move(found);
    FileIndex = 0;
    listedFolder_ = CurrentDirectory();
    return ScanOutcome::Listed;
}

const TSearchRec& ImageList::CurrentEntry() const {
    TSearchRec& entry = Files.at(static_cast<size_t>(FileIndex));
    if (entry.Size == TSearchRec::kSizeNotRead)
        entry.Size = EntrySize(JoinPath(listedFolder_, entry.Name));
    return entry;
}

void ImageList::StepForward() {
    if (FileIndex == static_cast<int>(Files.size()) - 1)
        FileIndex = 0;
    else
        FileIndex += 1;
}

void ImageList::StepBack() {
    if (FileIndex != 0)
        FileIndex -= 1;
    else
        FileIndex = static_cast<int>(Files.size()) - 1;
}

std::vector<const TSearchRec*> ImageList::Neighbours() const {
    std::vector<const TSearchRec*> neighbours;
    const int count = static_cast<int>(Files.size());
    if (count == 0)
        return neighbours;
    for (int index : {(FileIndex + 1) % count, (FileIndex + count - 1) % count}) {
        const TSearchRec* entry = &Files[static_cast<size_t>(index)];
        if (index != FileIndex && (neighbours.empty() || neighbours.front() != entry))
            neighbours.push_back(entry);
    }
    return neighbours;
}

std::pair<std::string, std::string> ImageList::InfoLines(const TSearchRec& entry) const {
    return {"Jméno: " + JoinPath(SourceDir, entry.Name), "Velikost: " + std::to_string(entry.Size)};
}

} // namespace browser
