// Writes COUNT different JPEG photographs-like pictures (gradients, shapes
// and fine grain) of WIDTH by HEIGHT into FOLDER, named pic0001.jpg and on.
//
// usage: make-pictures FOLDER COUNT WIDTH HEIGHT

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <cstdio>

namespace {

QImage picture(int index, QSize size, QRandomGenerator& random)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor::fromHsv(index * 37 % 360, 120, 230));
    sky.setColorAt(1, QColor::fromHsv(index * 91 % 360, 200, 90));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int shape = 0; shape < 40; ++shape) {
        painter.setBrush(QColor::fromHsv(random.bounded(360), 180, 200, 160));
        painter.setPen(Qt::NoPen);
        const int w = random.bounded(size.width() / 3) + 10;
        painter.drawEllipse(random.bounded(size.width()), random.bounded(size.height()), w, w * 2 / 3);
    }
    painter.end();
    // Grain, as a photograph has: it keeps the JPEG from compressing to nothing.
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = static_cast<int>(random.bounded(17)) - 8;
            row[x] = qRgb(std::clamp(qRed(row[x]) + grain, 0, 255), std::clamp(qGreen(row[x]) + grain, 0, 255),
                          std::clamp(qBlue(row[x]) + grain, 0, 255));
        }
    }
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: make-pictures FOLDER COUNT WIDTH HEIGHT\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());
    const int count = std::atoi(argv[2]);
    const QSize size(std::atoi(argv[3]), std::atoi(argv[4]));
    QRandomGenerator random(1234);
    for (int i = 1; i <= count; ++i) {
        QImageWriter writer(folder.filePath(QString("pic%1.jpg").arg(i, 4, 10, QChar(u'0'))), "jpeg");
        writer.setQuality(90);
        if (!writer.write(picture(i, size, random))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(writer.fileName()));
            return 1;
        }
    }
    return 0;
}
