// Walks the real window through the states a user meets and saves each as
// the X server shows it: start-up, two files dropped with fields chosen,
// two record conditions, the preview, and a finished run with its box.
// Usage: quellor_screenshots SAMPLE_FOLDER OUTPUT_FOLDER [REFERENCE_FOLDER]
// (on a real display). With a reference folder, each shot is also compared
// with the one of the same name there, and the exit status tells whether
// they still match.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <optional>

#include "records/SearchText.h"
#include "ui/HintTiming.h"
#include "ui/ListBox.h"
#include "ui/MainWindow.h"
#include "ui/RadioGroup.h"

using quellor::ui::ListBox;
using quellor::ui::MainWindow;
using quellor::ui::RadioGroup;

namespace {

// A control of the window by its object name.
template <class T>
T* Named(QWidget& window, const char* name) {
    T* w = window.findChild<T*>(QLatin1String(name));
    if (!w) {
        std::fprintf(stderr, "no control named %s\n", name);
        std::exit(1);
    }
    return w;
}

// Customers as an old sales system exports them: code, name, reading,
// prefecture, city, phone, amount, date. Two lines repeat on purpose. The
// readings have no blank, since a blank outside quotes ends a field.
const char* const kEast[] = {
    "10021,佐藤　花子,ｻﾄｳﾊﾅｺ,東京都,千代田区,03-3211-0001,128000,2026/11/02",
    "10007,鈴木　一郎,ｽｽﾞｷｲﾁﾛｳ,神奈川県,横浜市,045-210-0002,56000,2026/11/02",
    "10013,高橋　健太,ﾀｶﾊｼｹﾝﾀ,埼玉県,さいたま市,048-830-0003,240500,2026/11/04",
    "10002,田中　美咲,ﾀﾅｶﾐｻｷ,東京都,新宿区,03-5321-0004,89000,2026/11/05",
    "10030,伊藤　翔,ｲﾄｳｼｮｳ,千葉県,千葉市,043-245-0005,15300,2026/11/06",
    "10007,鈴木　一郎,ｽｽﾞｷｲﾁﾛｳ,神奈川県,横浜市,045-210-0002,56000,2026/11/02",
    "10018,渡辺　陽子,ﾜﾀﾅﾍﾞﾖｳｺ,東京都,世田谷区,03-5432-0006,310000,2026/11/09",
    "10004,山本　大輔,ﾔﾏﾓﾄﾀﾞｲｽｹ,神奈川県,川崎市,044-200-0007,72400,2026/11/10",
    "10025,中村　由美,ﾅｶﾑﾗﾕﾐ,茨城県,水戸市,029-224-0008,45000,2026/11/12",
};
const char* const kWest[] = {
    "20011,小林　誠,ｺﾊﾞﾔｼﾏｺﾄ,大阪府,大阪市,06-6941-0011,198000,2026/11/01",
    "20003,加藤　愛,ｶﾄｳｱｲ,京都府,京都市,075-222-0012,64000,2026/11/03",
    "20016,吉田　拓也,ﾖｼﾀﾞﾀｸﾔ,兵庫県,神戸市,078-331-0013,121000,2026/11/04",
    "20008,山田　恵,ﾔﾏﾀﾞﾒｸﾞﾐ,東京都,港区,03-3578-0014,87500,2026/11/07",
    "20011,小林　誠,ｺﾊﾞﾔｼﾏｺﾄ,大阪府,大阪市,06-6941-0011,198000,2026/11/01",
    "20020,佐々木　剛,ｻｻｷﾂﾖｼ,広島県,広島市,082-228-0015,53000,2026/11/11",
    "20005,松本　舞,ﾏﾂﾓﾄﾏｲ,神奈川県,相模原市,042-754-0016,39900,2026/11/13",
};

template <size_t N>
QString WriteSample(const QDir& folder, const char* name, const char* const (&lines)[N]) {
    QString path = folder.filePath(QString::fromUtf8(name));
    std::string bytes;
    for (const char* line : lines) {
        bytes += quellor::SearchTextAsCp932(line).value();
        bytes += "\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) != qint64(bytes.size())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    return path;
}

class Tour {
  public:
    Tour(MainWindow& win, QDir out, std::optional<QDir> reference)
        : win_(win), out_(std::move(out)), reference_(std::move(reference)) {}

    int Mismatches() const { return mismatches_; }
    int Shots() const { return shots_; }

    // What the X server shows of the window, its frame included where a
    // window manager drew one, after everything is drawn.
    void Shoot(QWidget* window, const char* name) {
        QTest::qWait(300);
        QRect frame = window->frameGeometry();
        QPixmap shot =
            window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        if (!shot.save(out_.filePath(QString::fromUtf8(name)))) {
            std::fprintf(stderr, "cannot save %s\n", name);
            std::exit(1);
        }
        std::printf("%s\n", qPrintable(out_.filePath(QString::fromUtf8(name))));
        ++shots_;
        if (reference_) Compare(shot.toImage(), name);
    }

    // A shot matches its reference when it has the same size and at most
    // one pixel in a hundred differs: room for the elapsed time in the log,
    // none for a moved control or another font.
    void Compare(const QImage& shot, const char* name) {
        QImage fresh = shot.convertToFormat(QImage::Format_RGB32);
        QImage old(reference_->filePath(QString::fromUtf8(name)));
        old = old.convertToFormat(QImage::Format_RGB32);
        qint64 differing = 0;
        if (old.size() == fresh.size()) {
            for (int y = 0; y < fresh.height(); ++y) {
                for (int x = 0; x < fresh.width(); ++x) {
                    if (fresh.pixel(x, y) != old.pixel(x, y)) ++differing;
                }
            }
        }
        qint64 all = qint64(fresh.width()) * fresh.height();
        if (old.size() != fresh.size() || differing * 100 > all) {
            std::fprintf(
                stderr, "%s differs from its reference (%lld of %lld pixels, %dx%d vs %dx%d)\n",
                name, differing, all, fresh.width(), fresh.height(), old.width(), old.height());
            ++mismatches_;
        }
    }

    void Drop(const QStringList& paths) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
        mime.setUrls(urls);
        QPoint at(win_.width() / 2, 40);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&win_, &enter);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&win_, &drop);
        QApplication::processEvents();
    }

    void Page(int index) {
        Named<QTabWidget>(win_, "PageControl1")->setCurrentIndex(index);
        QApplication::processEvents();
    }

    void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

    void ClickEntry(QListWidget* list, int row, bool twice = false) {
        QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }

    void ChooseField(int number) {
        QString head = QStringLiteral("[第%1ﾌｨｰﾙﾄﾞ]").arg(number, 2, 10, QLatin1Char('0'));
        for (int i = 0; i < Named<ListBox>(win_, "ListBox2")->count(); ++i) {
            if (Named<ListBox>(win_, "ListBox2")->item(i)->text().startsWith(head)) {
                ClickEntry(Named<ListBox>(win_, "ListBox2"), i);
                Click(Named<QPushButton>(win_, "Button1"));
                return;
            }
        }
    }

    void Type(QLineEdit* edit, const char* text) {
        edit->setFocus();
        edit->setText(QString::fromUtf8(text));
    }

  private:
    MainWindow& win_;
    QDir out_;
    std::optional<QDir> reference_;
    int mismatches_ = 0;
    int shots_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s SAMPLE_FOLDER OUTPUT_FOLDER [REFERENCE_FOLDER]\n", argv[0]);
        return 2;
    }
    QDir samples(QString::fromLocal8Bit(argv[1]));
    QDir out(QString::fromLocal8Bit(argv[2]));
    if (!samples.mkpath(".") || !out.mkpath(".")) return 1;
    QStringList files = {WriteSample(samples, "顧客_東日本.csv", kEast),
                         WriteSample(samples, "顧客_西日本.csv", kWest)};

    std::optional<QDir> reference;
    if (argc == 4) reference = QDir(QString::fromLocal8Bit(argv[3]));
    // A steady caret, so that a shot does not depend on when it is taken.
    QApplication::setCursorFlashTime(0);
    quellor::ui::ApplyHintTiming();
    MainWindow win;
    win.show();
    QApplication::setActiveWindow(&win);
    Tour tour(win, out, reference);
    tour.Shoot(&win, "01-start.png");

    tour.Drop(files);
    tour.Page(0);
    tour.Click(Named<RadioGroup>(win, "RadioGroup3")->Button(0));
    for (int field : {2, 3, 4, 7}) tour.ChooseField(field);
    tour.Shoot(&win, "02-fields.png");

    tour.Page(1);
    tour.Click(Named<RadioGroup>(win, "RadioGroup2")->Button(0));
    Named<QComboBox>(win, "ComboBox1")->setCurrentIndex(4);
    tour.Type(Named<QLineEdit>(win, "Edit1"), "東京都");
    Named<QComboBox>(win, "ComboBox2")->setCurrentIndex(0);
    Named<RadioGroup>(win, "RadioGroup1")->SetItemIndex(1);
    Named<QComboBox>(win, "ComboBox3")->setCurrentIndex(4);
    tour.Type(Named<QLineEdit>(win, "Edit2"), "神奈川");
    Named<QComboBox>(win, "ComboBox4")->setCurrentIndex(2);
    tour.Shoot(&win, "03-records.png");

    tour.ClickEntry(Named<ListBox>(win, "ListBox1"), 0, true);
    tour.Shoot(&win, "04-preview.png");

    tour.Page(2);
    tour.Click(Named<RadioGroup>(win, "RadioGroup4")->Button(0));
    Named<QComboBox>(win, "ComboBox5")->setCurrentIndex(1);
    Named<QCheckBox>(win, "CheckBox1")->setChecked(true);
    // The box that ends the run is shot, then answered as the user would.
    QTimer boxWatch;
    QObject::connect(&boxWatch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        boxWatch.stop();
        tour.Shoot(box, "06-finished-box.png");
        box->accept();
    });
    boxWatch.start(200);
    tour.Click(Named<QPushButton>(win, "BitBtn3"));
    tour.Shoot(&win, "05-finished.png");
    if (tour.Shots() != 6) std::fprintf(stderr, "only %d of 6 shots were taken\n", tour.Shots());
    return tour.Mismatches() == 0 && tour.Shots() == 6 ? 0 : 1;
}
