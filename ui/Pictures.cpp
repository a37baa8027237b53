#include "ui/Pictures.h"

// The pictures live in a static library: their resource registration has to
// be referenced, or the linker drops it.
static void RegisterPictures() { Q_INIT_RESOURCE(pictures); }

namespace qvd::ui {

QImage LoadPicture(const QString& path) {
    [[maybe_unused]] static const bool registered = (RegisterPictures(), true);
    return QImage(path, "JPEG");
}

}  // namespace qvd::ui
