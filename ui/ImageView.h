#pragma once
// A picture frame: shows a JPEG from the resources, scaled proportionally
// into the frame and centred in it.
#include <QLabel>
#include <QString>

namespace qvd::ui {

class ImageView : public QLabel {
public:
    explicit ImageView(QWidget* parent);
    // A resource path such as ":/pictures/icon.jpg".
    void SetSource(const QString& path);
    const QString& Source() const { return source_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Rescale();

    QString source_;
    QImage image_;
};

}  // namespace qvd::ui
