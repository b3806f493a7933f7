// Build tool: typesets the user guide (Markdown) into "Help.pdf".
// Usage: salvyn-helppdf GUIDE.md OUTPUT.pdf   (needs a Qt platform; the build uses offscreen)
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s GUIDE.md OUTPUT.pdf\n", argv[0]);
        return 2;
    }
    QFile guide(QString::fromLocal8Bit(argv[1]));
    if (!guide.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    QTextDocument document;
    document.setMarkdown(QString::fromUtf8(guide.readAll()));
    QFont font(QStringLiteral("DejaVu Sans"), 10);
    document.setDefaultFont(font);

    const QString output = QString::fromLocal8Bit(argv[2]);
    QPdfWriter writer(output);
    writer.setTitle(QStringLiteral("Salvyn user guide"));
    writer.setCreator(QStringLiteral("Korvia - Salvyn"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    document.print(&writer);
    if (QFile(output).size() == 0) {
        std::fprintf(stderr, "%s: nothing was written to %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
