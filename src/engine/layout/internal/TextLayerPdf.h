#pragma once
// A PDF device like QPdfWriter whose text layer gives back the text as it was typed.

#include <QPagedPaintDevice>
#include <QString>
#include <memory>

class QIODevice;

namespace wordengine::layout {

class TextLayerPdfEngine;

class TextLayerPdfDevice final : public QPagedPaintDevice {
public:
    explicit TextLayerPdfDevice(QIODevice* out);
    ~TextLayerPdfDevice() override;

    void setTitle(const QString& title);
    void setCreator(const QString& creator);

    bool newPage() override;
    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric id) const override;

private:
    TextLayerPdfDevice(std::unique_ptr<TextLayerPdfEngine> engine, QIODevice* out);
    std::unique_ptr<TextLayerPdfEngine> engine_;
};

} // namespace wordengine::layout
