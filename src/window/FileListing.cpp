#include "window/FileListing.h"

#include <algorithm>

namespace salvora {

FileListing::FileListing(ApplicationList applications) : applications_(std::move(applications)) {
    ends_.reserve(applications_.size());
    std::size_t end = 0;
    for (const auto& application : applications_) ends_.push_back(end += application->files.size());
}

FileRow FileListing::at(std::size_t row) const {
    const auto found = std::upper_bound(ends_.begin(), ends_.end(), row);
    const auto index = static_cast<std::size_t>(found - ends_.begin());
    const std::size_t first = index == 0 ? 0 : ends_[index - 1];
    return {applications_[index], applications_[index]->files[row - first]};
}

}  // namespace salvora
