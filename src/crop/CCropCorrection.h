#pragma once

// The crop module as its rectangle controller sees it: the crop rectangle in
// fractions of the corrected image, the crop type, the ratio, the
// constrain-to-image flag and the module host. The module's engine and host
// work builds on this.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

class ICorrectionModuleHost;

class CCropCorrection : public QObject
{
    Q_OBJECT
public:
    // The crop rectangle in fractions of the corrected image's width (left,
    // right) and height (top, bottom); {0, 0, 1, 1} is the whole image.
    struct NormalizedCropRect
    {
        double left = 0.0;
        double top = 0.0;
        double right = 1.0;
        double bottom = 1.0;

        // 32 bytes of a data stream; non-finite values are written as 0.
        QVariant toVariant() const;
        // Reads the 32 bytes back; a value that is not finite keeps the default.
        static NormalizedCropRect fromVariant(const QVariant& value);
        bool operator==(const NormalizedCropRect& other) const = default;
    };

    explicit CCropCorrection(QObject* parent = nullptr);

    ICorrectionModuleHost* host() const { return m_host; }
    void setHost(ICorrectionModuleHost* host) { m_host = host; }

    bool isConstrainToImage() const { return m_constrainToImage; }
    void setConstrainToImage(bool constrain) { m_constrainToImage = constrain; }
    // "autoCrop" or "manualCrop".
    QString cropType() const { return m_cropType; }
    void setCropType(const QString& type) { m_cropType = type; }
    // The ratio the engine holds: -1 free, 0 the image's own, else width / height.
    qreal cropRatio() const { return m_cropRatio; }
    void setCropRatio(qreal ratio) { m_cropRatio = ratio; }
    // The ratio becomes its reciprocal, unless it is 0.
    virtual void invertCropRatio();
    virtual void showCropSizeLabel() {}
    NormalizedCropRect manualCropRect() const { return m_manualCropRect; }

public Q_SLOTS:
    virtual void onCropRectMoved();

protected:
    ICorrectionModuleHost* m_host = nullptr;
    bool m_constrainToImage = false;
    QString m_cropType = QStringLiteral("autoCrop");
    qreal m_cropRatio = -1.0;
    NormalizedCropRect m_manualCropRect;
    bool m_ignoreCropRectMoving = false;
};

Q_DECLARE_METATYPE(CCropCorrection::NormalizedCropRect)
