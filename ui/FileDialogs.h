#pragma once
// Open and save dialogs for the core's requests.
#include "core/host/Host.h"

#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace qvd::ui {

enum class FileDialogMode { Open, Save };

// The core writes filters as "label|pattern|label|pattern";
// Qt wants "label (pattern);;label (pattern)". A plain Qt filter passes as is.
QString QtNameFilters(const std::string& filter);

// The chosen path as the file system's bytes, or nothing when cancelled. The
// save dialog asks before overwriting.
std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                         FileDialogMode mode);

}  // namespace qvd::ui
