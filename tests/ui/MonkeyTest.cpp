// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// A monkey test: random but legal input to the main window and every dialog it opens, from a
// seeded generator, for a while; then the project is saved and must load again as it was.
//   MonkeyTest [seconds [seed]]      (or KELVO_MONKEY_SECONDS and KELVO_MONKEY_SEED)
// It prints the seed first, so a failure can be replayed, and the number of events at the end.
// Clicks, drags, keys, typing, wheel turns and menus go to the window in front (a popup, else the
// modal dialog, else the main window); the main window's actions, found by enumeration, are
// triggered directly while it could be used; message boxes and file dialogs are answered at
// random through the prompt seam. A watchdog ends the run with an error when no event could be
// sent for HangSeconds: a dialog that cannot be closed, or a loop that never returns.

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "UiTestSupport.h"
#include "model/TKelPictureList.h"
#include "ui/TfrmKelvo.h"

namespace {

constexpr int HangSeconds = 120;
// Enough pictures for every action to have work, few enough that each event stays quick.
constexpr int MaxPictures = 40;

using TRandom = std::mt19937_64;

int Uniform(TRandom& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

bool Chance(TRandom& random, double p) {
    return std::bernoulli_distribution(p)(random);
}

template <class T>
T Pick(TRandom& random, const QList<T>& items) {
    return items[Uniform(random, 0, static_cast<int>(items.size()) - 1)];
}

/// Takes the addresses that would open in the desktop's browser or mail program.
class TUrlSink : public QObject {
    Q_OBJECT

public slots:
    void Open(const QUrl&) {}
};

/// Answers every message box and file dialog at random, from files made for the purpose.
class TMonkeyPrompts : public TPrompts {
public:
    TMonkeyPrompts(TRandom& random, const QString& folder)
        : m_random(random)
        , m_folder(folder) {}

    void SetWindow(TfrmKelvo* window) { m_window = window; }
    /// The answer of the next save dialog, whatever the dice say.
    QString NextSaveName;

    QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon, const QString&, const QString&,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton) override {
        QList<QMessageBox::StandardButton> offered;
        for (int bit = 0; bit < 32; ++bit)
            if (buttons.testFlag(static_cast<QMessageBox::StandardButton>(1u << bit)))
                offered.append(static_cast<QMessageBox::StandardButton>(1u << bit));
        return offered.isEmpty() ? QMessageBox::Ok : Pick(m_random, offered);
    }
    QStringList GetOpenFileNames(QWidget*, const QString&, const QString&,
                                 const QString&) override {
        if (Chance(m_random, 0.2) || (m_window && m_window->Project() &&
                                      m_window->Project()->Pictures().Count() >= MaxPictures))
            return {};
        const QStringList pool = QDir(m_folder + "/pictures").entryList(QDir::Files);
        QStringList files;
        for (int i = Uniform(m_random, 1, 6); i > 0; --i)
            files.append(
                m_folder + "/pictures/" +
                (Chance(m_random, 0.05) ? QStringLiteral("gone.jpg") : Pick(m_random, pool)));
        return files;
    }
    QString GetOpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        if (Chance(m_random, 0.2))
            return {};
        const QStringList projects = QDir(m_folder).entryList({"*.kel"}, QDir::Files);
        return projects.isEmpty() || Chance(m_random, 0.2)
                   ? m_folder + "/missing.kel"
                   : m_folder + '/' + Pick(m_random, projects);
    }
    QString GetSaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        if (!NextSaveName.isEmpty())
            return std::exchange(NextSaveName, QString());
        if (Chance(m_random, 0.3))
            return {};
        return QStringLiteral("%1/saved-%2.kel").arg(m_folder).arg(Uniform(m_random, 1, 3));
    }
    QString GetExistingDirectory(QWidget*, const QString&, const QString&) override {
        if (Chance(m_random, 0.2))
            return {};
        return m_folder + (Chance(m_random, 0.8) ? "/out" : "/no-such-folder");
    }

private:
    TRandom& m_random;
    QString m_folder;
    QPointer<TfrmKelvo> m_window;
};

/// Drives the window from timer events. Each step schedules the next before it acts, so steps go
/// on inside the nested event loops of modal dialogs and long operations as well.
class TMonkey : public QObject {
public:
    TMonkey(TfrmKelvo& window, TMonkeyPrompts& prompts, TRandom& random, const QString& folder,
            std::chrono::seconds duration)
        : m_window(window)
        , m_prompts(prompts)
        , m_random(random)
        , m_folder(folder)
        , m_duration(duration) {
        m_clock.start();
    }

    void Start() {
        QTimer::singleShot(0, this, [this] { Step(); });
    }

    std::atomic<long long> Events{0};
    /// Events sent to each kind of window (class name).
    QMap<QString, int> Seen;
    bool Passed = false;
    QString Failure;

private:
    void Step() {
        QTimer::singleShot(0, this, [this] { Step(); });
        ++Events;
        if (m_clock.elapsed() >= std::chrono::milliseconds(m_duration).count()) {
            Finish();
            return;
        }
        ++m_depth;
        Act();
        --m_depth;
    }

    // The window the user would be looking at.
    QWidget* Front() const {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup;
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal;
        return &m_window;
    }

    void Act() {
        if (!m_window.isVisible() && QApplication::activeModalWidget() == nullptr)
            m_window.show(); // after File > Exit: the user starts the program again
        QWidget* front = Front();
        ++Seen[QString::fromLatin1(front->metaObject()->className())];
        if (front != &m_window && Chance(m_random, 0.04)) {
            QTest::keyClick(front, Qt::Key_Escape); // most dialogs close within 25 events
            return;
        }
        const int dice = Uniform(m_random, 0, 99);
        if (dice < 15 && front == &m_window)
            TriggerAction();
        else if (dice < 20 && front == &m_window)
            OpenMenu();
        else if (dice < 55)
            Click(front);
        else if (dice < 65)
            Drag(front);
        else if (dice < 90)
            Keys(front);
        else
            Wheel(front);
    }

    // Every enabled action the main window's menus offer, found afresh each time, so that new
    // menus and actions are covered without a word here.
    void TriggerAction() {
        if (!m_window.isEnabled())
            return;
        QList<QAction*> actions;
        QList<QAction*> open = m_window.menuBar()->actions();
        while (!open.isEmpty()) {
            QAction* action = open.takeFirst();
            if (!action->isEnabled() || !action->isVisible() || action->isSeparator())
                continue;
            if (action->menu() != nullptr)
                open.append(action->menu()->actions());
            else
                actions.append(action);
        }
        if (!actions.isEmpty())
            Pick(m_random, actions)->trigger();
    }

    void OpenMenu() {
        QMenuBar* bar = m_window.menuBar();
        QList<QAction*> menus;
        for (QAction* action : bar->actions())
            if (action->isVisible() && action->isEnabled())
                menus.append(action);
        if (!menus.isEmpty())
            QTest::mouseClick(bar, Qt::LeftButton, {},
                              bar->actionGeometry(Pick(m_random, menus)).center());
    }

    // A visible, enabled widget of window with some area, or window itself.
    QWidget* Target(QWidget* window) {
        QList<QWidget*> widgets{window};
        for (QWidget* widget : window->findChildren<QWidget*>())
            if (widget->isVisible() && widget->isEnabled() && widget->width() > 1 &&
                widget->height() > 1 && widget->window() == window)
                widgets.append(widget);
        return Pick(m_random, widgets);
    }

    QPoint Somewhere(QWidget* widget) {
        return {Uniform(m_random, 0, widget->width() - 1),
                Uniform(m_random, 0, widget->height() - 1)};
    }

    Qt::KeyboardModifiers Modifiers() {
        const int dice = Uniform(m_random, 0, 9);
        return dice < 7   ? Qt::NoModifier
               : dice < 8 ? Qt::ControlModifier
               : dice < 9 ? Qt::ShiftModifier
                          : Qt::ControlModifier | Qt::ShiftModifier;
    }

    void Click(QWidget* front) {
        QPointer<QWidget> target = Target(front);
        const Qt::MouseButton button = Chance(m_random, 0.85)  ? Qt::LeftButton
                                       : Chance(m_random, 0.7) ? Qt::RightButton
                                                               : Qt::MiddleButton;
        const QPoint at = Somewhere(target);
        if (Chance(m_random, 0.1))
            QTest::mouseDClick(target, button, Modifiers(), at);
        else
            QTest::mouseClick(target, button, Modifiers(), at);
    }

    void Drag(QWidget* front) {
        QPointer<QWidget> target = Target(front);
        const Qt::KeyboardModifiers keys = Modifiers();
        QTest::mousePress(target, Qt::LeftButton, keys, Somewhere(target));
        const QPoint to = Somewhere(target);
        for (int step = 1; step <= 4 && target; ++step)
            QTest::mouseMove(target, to * step / 4);
        if (target)
            QTest::mouseRelease(target, Qt::LeftButton, keys, to);
    }

    void Keys(QWidget* front) {
        QWidget* focus = QApplication::focusWidget();
        QWidget* target = focus != nullptr && focus->window() == front ? focus : Target(front);
        if (Chance(m_random, 0.3)) {
            static const QStringList texts{"a", "Z",  " ",  "Ä",     "<b>", "&amp;", "\"",
                                           "'", "42", "-1", "99999", "é€",  "x/y",   "\\"};
            // Typed text, as an input method delivers it: any character, no key code needed.
            QPointer<QWidget> typed = target;
            for (const QChar c : Pick(m_random, texts))
                for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                    QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, QString(c));
                    if (typed)
                        QApplication::sendEvent(typed, &event);
                }
            return;
        }
        static const QList<Qt::Key> keys{
            Qt::Key_Left,      Qt::Key_Right,  Qt::Key_Up,       Qt::Key_Down,  Qt::Key_Home,
            Qt::Key_End,       Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Tab,   Qt::Key_Backtab,
            Qt::Key_Return,    Qt::Key_Enter,  Qt::Key_Escape,   Qt::Key_Space, Qt::Key_Delete,
            Qt::Key_Backspace, Qt::Key_F2,     Qt::Key_A,        Qt::Key_Z,     Qt::Key_Y,
            Qt::Key_S,         Qt::Key_Insert};
        QTest::keyClick(target, Pick(m_random, keys), Modifiers());
    }

    void Wheel(QWidget* front) {
        QWidget* target = Target(front);
        const QPoint at = Somewhere(target);
        QWheelEvent wheel(at, target->mapToGlobal(at), {}, {0, Uniform(m_random, -3, 3) * 120},
                          Qt::NoButton, Modifiers(), Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }

    // Closes what is open, one window per step, then saves at the outermost level and loads.
    void Finish() {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            return;
        }
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
            return;
        }
        if (m_depth > 0 || m_done)
            return; // an operation below is still running: its loop returns first
        m_done = true;
        m_window.show();
        if (!m_window.Project()) // File > Close leaves none
            m_window.findChild<QAction*>("actFileNew")->trigger();
        if (m_window.Project()->Pictures().Count() == 0) // something for the check to compare
            m_window.AddPictureFiles({m_folder + "/pictures/Sunset.jpg", m_folder + "/gone.jpg"});
        const QString fileName = m_folder + "/final.kel";
        m_prompts.NextSaveName = fileName;
        m_window.findChild<QAction*>("actFileSaveAs")->trigger();
        TKelProject loaded;
        const TKelProject& saved = *m_window.Project();
        if (!loaded.LoadFromFile(QFile::encodeName(fileName).toStdString()))
            Failure = "the saved project does not load";
        else if (loaded.Pictures().Count() != saved.Pictures().Count())
            Failure = "the saved project has another number of pictures";
        for (int i = 0; Failure.isEmpty() && i < saved.Pictures().Count(); ++i) {
            const TKelPicture& a = *saved.Pictures().GetPicture(i);
            const TKelPicture& b = *loaded.Pictures().GetPicture(i);
            if (a.FileName() != b.FileName() || a.Title() != b.Title() ||
                a.Comment() != b.Comment() || a.Checked() != b.Checked())
                Failure = QStringLiteral("picture %1 differs after loading").arg(i + 1);
        }
        Passed = Failure.isEmpty();
        std::printf("saved and loaded again: %d pictures\n", saved.Pictures().Count());
        m_window.Project()->History().Clear(); // nothing left to ask about when closing
        QApplication::quit();
    }

    TfrmKelvo& m_window;
    TMonkeyPrompts& m_prompts;
    TRandom& m_random;
    QString m_folder;
    std::chrono::seconds m_duration;
    QElapsedTimer m_clock;
    int m_depth = 0;
    bool m_done = false;
};

// Pictures to add: copies of the samples, a cut-off JPEG, an empty BMP and a name that is gone.
void MakePictures(const QString& folder) {
    QDir().mkpath(folder);
    for (const QString& sample : SamplePictures())
        QFile::copy(sample, folder + '/' + QFileInfo(sample).fileName());
    QFile sample(SamplePictures().first());
    sample.open(QIODevice::ReadOnly);
    WriteFile(folder + "/cut off.jpg", sample.readAll().left(5000));
    WriteFile(folder + "/empty.bmp", {});
}

// Qt Test's remark on every event a widget leaves alone (most random events are), and the
// offscreen platform's on every window function it lacks.
QtMessageHandler StandardHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("not accepted by receiving widget")) ||
        message.startsWith(QLatin1String("This plugin does not support")))
        return;
    StandardHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    const QByteArray secondsText = argc > 1 ? QByteArray(argv[1]) : qgetenv("KELVO_MONKEY_SECONDS");
    const QByteArray seedText = argc > 2 ? QByteArray(argv[2]) : qgetenv("KELVO_MONKEY_SEED");
    const int seconds = secondsText.isEmpty() ? 10 : std::max(1, secondsText.toInt());
    const unsigned long long seed =
        seedText.isEmpty() ? std::random_device{}() : seedText.toULongLong();
    std::printf("monkey: seed %llu, %d s (replay: MonkeyTest %d %llu)\n", seed, seconds, seconds,
                seed);
    std::fflush(stdout);

    StandardHandler = qInstallMessageHandler(QuietHandler);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TDialogTestEnvironment test;
    // Thumbnails go to a cache of the run's own, never the user's.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(test.Temp.filePath("cache")));
    TUrlSink sink;
    for (const char* scheme : {"file", "http", "https", "mailto"})
        QDesktopServices::setUrlHandler(scheme, &sink, "Open");
    const QString folder = test.Temp.path();
    MakePictures(folder + "/pictures");
    QDir().mkpath(folder + "/out");

    TRandom random(seed);
    TMonkeyPrompts prompts(random, folder);
    TKelvoEnvironment environment{test.Language, *test.Settings, prompts};
    TfrmKelvo window(environment);
    prompts.SetWindow(&window);
    window.resize(900, 650);
    window.show();
    TMonkey monkey(window, prompts, random, folder, std::chrono::seconds(seconds));

    std::atomic<bool> running{true};
    std::thread watchdog([&] {
        long long seen = -1;
        auto since = std::chrono::steady_clock::now();
        while (running) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const long long now = monkey.Events;
            if (now != seen) {
                seen = now;
                since = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - since >
                       std::chrono::seconds(HangSeconds)) {
                std::fprintf(stderr, "monkey: FAILED, no event for %d s after %lld (seed %llu)\n",
                             HangSeconds, now, seed);
                std::_Exit(3);
            }
        }
    });
    monkey.Start();
    app.exec();
    running = false;
    watchdog.join();
    for (const char* scheme : {"file", "http", "https", "mailto"})
        QDesktopServices::unsetUrlHandler(scheme);
    std::printf("monkey: windows seen:");
    for (auto it = monkey.Seen.cbegin(); it != monkey.Seen.cend(); ++it)
        std::printf(" %s %d,", qPrintable(it.key()), it.value());
    std::printf("\n");
    std::printf("monkey: %s after %lld events (seed %llu)%s%s\n",
                monkey.Passed ? "passed" : "FAILED", monkey.Events.load(), seed,
                monkey.Failure.isEmpty() ? "" : ": ", qPrintable(monkey.Failure));
    return monkey.Passed ? 0 : 1;
}

#include "MonkeyTest.moc"
