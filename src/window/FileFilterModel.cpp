#include "window/FileFilterModel.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "window/ControllerTableModel.h"
#include "window/MainController.h"
#include "window/QtText.h"

namespace salvora {
namespace {

template <typename Key>
bool ascending(const std::optional<Key>& a, const std::optional<Key>& b) {
    // Files without the value come first, as the smallest.
    return a.has_value() != b.has_value() ? !a.has_value() : a.has_value() && *a < *b;
}

// Appends the text case folded as Qt folds it; ASCII, which most paths are, byte by byte.
void appendFolded(std::string& out, std::string_view text) {
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        for (char c : text)
            out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
        return;
    }
    out += QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
               .toCaseFolded()
               .toStdString();
}

// Whether the path holds `folded`, a text folded as appendFolded folds it, letter case ignored.
// An ASCII path, as most are, is compared as it lies, so no folded copy is made; a character
// beyond ASCII has the whole path folded.
bool holdsFolded(std::string_view path, std::string_view folded) {
    if (folded.empty()) return true;
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    const std::size_t starts = path.size() >= folded.size() ? path.size() - folded.size() + 1 : 0;
    for (std::size_t at = 0; at < path.size(); ++at) {
        if (static_cast<unsigned char>(path[at]) >= 0x80) {
            std::string whole;
            appendFolded(whole, path);
            return whole.find(folded) != std::string::npos;
        }
        if (at < starts && lower(path[at]) == folded[0]) {
            std::size_t matched = 1;
            while (matched < folded.size() && lower(path[at + matched]) == folded[matched])
                ++matched;
            if (matched == folded.size()) return true;
        }
    }
    return false;
}

}  // namespace

FileFilterModel::FileFilterModel(const MainController& controller, QObject* parent)
    : QAbstractProxyModel(parent), controller_(controller) {}

void FileFilterModel::setSourceModel(QAbstractItemModel* source) {
    beginResetModel();
    if (sourceModel() != nullptr) sourceModel()->disconnect(this);
    QAbstractProxyModel::setSourceModel(source);
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this,
            &FileFilterModel::beginResetModel);
    connect(source, &QAbstractItemModel::modelReset, this, [this] {
        rebuild();
        endResetModel();
    });
    rebuild();
    endResetModel();
}

void FileFilterModel::rebuild() {
    foldedPaths_.clear();
    foldedEnds_.clear();
    ordered_.resize(
        static_cast<std::size_t>(sourceModel() != nullptr ? sourceModel()->rowCount() : 0));
    orderRows();
    applyFilter(ordered_);
}

void FileFilterModel::foldPaths() {
    if (!foldedEnds_.empty() || ordered_.empty()) return;
    const FileListing& listing = controller_.fileListing();
    std::vector<std::string_view> paths;
    paths.reserve(listing.size());
    std::size_t length = 0;
    for (std::size_t row = 0; row < listing.size(); ++row) {
        paths.push_back(listing.at(row).file.fullpath().value_or(std::string_view()));
        length += paths.back().size();
    }
    foldedPaths_.reserve(length);
    foldedEnds_.reserve(paths.size());
    for (std::string_view path : paths) {
        appendFolded(foldedPaths_, path);
        foldedEnds_.push_back(foldedPaths_.size());
    }
}

std::string_view FileFilterModel::foldedPath(int row) const {
    const auto index = static_cast<std::size_t>(row);
    const std::size_t start = index == 0 ? 0 : foldedEnds_[index - 1];
    return std::string_view(foldedPaths_).substr(start, foldedEnds_[index] - start);
}

void FileFilterModel::applyFilter(const std::vector<int>& candidates) {
    std::vector<int> kept;
    if (foldedFilter_.empty()) {
        kept = candidates;
    } else {
        const FileListing& listing = controller_.fileListing();
        kept.reserve(candidates.size());
        for (int row : candidates)
            if (holdsFolded(listing.at(static_cast<std::size_t>(row)).file.fullpath().value_or(""),
                            foldedFilter_))
                kept.push_back(row);
    }
    shown_ = std::move(kept);
    shownRowOf_.assign(ordered_.size(), -1);
    for (std::size_t at = 0; at < shown_.size(); ++at)
        shownRowOf_[static_cast<std::size_t>(shown_[at])] = static_cast<int>(at);
}

void FileFilterModel::setFilterText(const QString& text) {
    if (text == filterText_) return;
    std::string foldedText;
    appendFolded(foldedText, text.toStdString());
    // A filter that holds the one before keeps a subset of its rows.
    const bool narrowing = foldedText.find(foldedFilter_) != std::string::npos;
    relayout([&] {
        filterText_ = text;
        foldedFilter_ = std::move(foldedText);
        applyFilter(narrowing ? std::vector<int>(shown_) : ordered_);
    });
}

void FileFilterModel::sort(int column, Qt::SortOrder order) {
    relayout([&] {
        sortColumn_ = column;
        sortOrder_ = order;
        orderRows();
        applyFilter(ordered_);
    });
}

void FileFilterModel::orderRows() {
    std::iota(ordered_.begin(), ordered_.end(), 0);
    if (sortColumn_ < 0 || sourceModel() == nullptr) return;
    const QString identifier =
        sourceModel()->headerData(sortColumn_, Qt::Horizontal, ColumnIdentifierRole).toString();
    const FileListing& listing = controller_.fileListing();
    const auto file = [&listing](int row) { return listing.at(static_cast<std::size_t>(row)); };
    std::function<bool(int, int)> before;
    if (identifier == toQString(FileSizeColumn)) {
        before = [&file](int a, int b) {
            return ascending(file(a).file.size(), file(b).file.size());
        };
    } else if (identifier == toQString(FileModifiedColumn)) {
        before = [&file](int a, int b) {
            return ascending(file(a).file.modificationTime(), file(b).file.modificationTime());
        };
    } else if (identifier == toQString(FileApplicationColumn)) {
        before = [&file](int a, int b) {
            return file(a).application->name < file(b).application->name;
        };
    } else {
        foldPaths();
        before = [this](int a, int b) { return foldedPath(a) < foldedPath(b); };
    }
    // Stable, so equal rows keep the controller's order whichever way the column runs.
    if (sortOrder_ == Qt::AscendingOrder)
        std::stable_sort(ordered_.begin(), ordered_.end(), before);
    else
        std::stable_sort(ordered_.begin(), ordered_.end(),
                         [&before](int a, int b) { return before(b, a); });
}

void FileFilterModel::relayout(const std::function<void()>& change) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<QModelIndex> sources;
    sources.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) sources.push_back(mapToSource(index));
    change();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& source : sources) after.push_back(mapFromSource(source));
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

QModelIndex FileFilterModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex FileFilterModel::parent(const QModelIndex& /*child*/) const { return {}; }

int FileFilterModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int FileFilterModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || sourceModel() == nullptr ? 0 : sourceModel()->columnCount();
}

QModelIndex FileFilterModel::mapToSource(const QModelIndex& proxyIndex) const {
    if (!proxyIndex.isValid() || sourceModel() == nullptr) return {};
    return sourceModel()->index(shown_[static_cast<std::size_t>(proxyIndex.row())],
                                proxyIndex.column());
}

QModelIndex FileFilterModel::mapFromSource(const QModelIndex& sourceIndex) const {
    if (!sourceIndex.isValid()) return {};
    const auto row = static_cast<std::size_t>(sourceIndex.row());
    if (row >= shownRowOf_.size() || shownRowOf_[row] < 0) return {};
    return index(shownRowOf_[row], sourceIndex.column());
}

QVariant FileFilterModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || sourceModel() == nullptr) return {};
    return sourceModel()->headerData(section, orientation, role);
}

}  // namespace salvora
