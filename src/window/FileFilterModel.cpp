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
    ordered_.resize(
        static_cast<std::size_t>(sourceModel() != nullptr ? sourceModel()->rowCount() : 0));
    orderRows();
    applyFilter(ordered_);
}

const std::vector<QString>& FileFilterModel::foldedPaths() {
    if (foldedPaths_.empty()) {
        const FileListing& listing = controller_.fileListing();
        foldedPaths_.reserve(listing.size());
        for (std::size_t row = 0; row < listing.size(); ++row)
            foldedPaths_.push_back(
                QString::fromStdString(listing.at(row).file.fullpath.value_or("")).toCaseFolded());
    }
    return foldedPaths_;
}

void FileFilterModel::applyFilter(const std::vector<int>& candidates) {
    std::vector<int> kept;
    if (foldedFilter_.isEmpty()) {
        kept = candidates;
    } else {
        const std::vector<QString>& paths = foldedPaths();
        kept.reserve(candidates.size());
        for (int row : candidates)
            if (paths[static_cast<std::size_t>(row)].contains(foldedFilter_)) kept.push_back(row);
    }
    shown_ = std::move(kept);
    shownRowOf_.assign(ordered_.size(), -1);
    for (std::size_t at = 0; at < shown_.size(); ++at)
        shownRowOf_[static_cast<std::size_t>(shown_[at])] = static_cast<int>(at);
}

void FileFilterModel::setFilterText(const QString& text) {
    if (text == filterText_) return;
    const QString folded = text.toCaseFolded();
    // A filter that holds the one before keeps a subset of its rows.
    const bool narrowing = folded.contains(foldedFilter_);
    relayout([&] {
        filterText_ = text;
        foldedFilter_ = folded;
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
        before = [&file](int a, int b) { return ascending(file(a).file.size, file(b).file.size); };
    } else if (identifier == toQString(FileModifiedColumn)) {
        before = [&file](int a, int b) {
            return ascending(file(a).file.modificationTime, file(b).file.modificationTime);
        };
    } else if (identifier == toQString(FileApplicationColumn)) {
        before = [&file](int a, int b) {
            return file(a).application->name < file(b).application->name;
        };
    } else {
        const std::vector<QString>& paths = foldedPaths();
        before = [&paths](int a, int b) {
            return paths[static_cast<std::size_t>(a)] < paths[static_cast<std::size_t>(b)];
        };
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
