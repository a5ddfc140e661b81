// The real window playing an album in Album mode on the real engine, for
// bench/window_heard.sh: it prints when the engine announced a song heard, when the song
// title changed and when Next was clicked, in seconds of CLOCK_MONOTONIC (the clock the
// script reads the sound sink with), so the window can be laid beside the sound.
// Usage: window_heard_bench MUSIC_DIR SONG_MS [picture] [next-before MS]
//   picture         the disc picture page is shown instead of the play page
//   next-before MS  Next is clicked MS milliseconds before the end of the first song heard
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Form1.h"
#include "RunLabel.h"
#include "XaudioPlayer.h"

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Print(const char* what, const std::string& text) {
  std::printf("%s %.6f %s\n", what, Now(), text.c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s MUSIC_DIR SONG_MS [picture] [next-before MS]\n", argv[0]);
    return 2;
  }
  const std::string music = argv[1];
  const int songMs = std::atoi(argv[2]);
  bool picture = false;
  int nextBefore = -1;
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "picture") picture = true;
    if (arg == "next-before" && i + 1 < argc) nextBefore = std::atoi(argv[++i]);
  }

  // A copy of the program folder: closing, the window writes its skin's colours there.
  const QTemporaryDir folder;
  std::filesystem::copy(SONAVERA_SOURCE_DIR "/assets/runtime", folder.path().toStdString(),
                        std::filesystem::copy_options::recursive);
  TForm1 form(folder.path().toStdString() + "/", TXaudioEntryPoints::Engine());
  TForm1::ShowMessage = [](const std::string& text) { Print("message", text); };
  form.show();
  // The settings of the round before may have kept Album mode on.
  if (!form.Session.Album) form.modemodebtnClick();
  if (picture) form.ShowPage("page1");
  // The songs' levels tell them apart in the sound: no gain may even them out.
  form.SetReplayGain(0, 0, 0);

  std::string shown;
  QObject::connect(&form.Session, &TAlbumSession::SongChanged, [&] {
    if (form.Songlbl->Caption() == shown) return;
    shown = form.Songlbl->Caption();
    Print("title", shown);
  });
  bool clicked = nextBefore < 0;
  const auto progress = form.XAudio->OnNotifyProgress;
  form.XAudio->OnNotifyProgress = [&](TXaudioPlayer* sender, uint8_t source, uint8_t code,
                                      int16_t value, const std::string& name) {
    if (code == XA_PROGRESS_INPUT_HEARD) Print("heard", name);
    progress(sender, source, code, value, name);
    if (clicked) return;
    clicked = true;
    QTimer::singleShot(std::max(0, songMs - nextBefore), Qt::PreciseTimer, &form, [&] {
      Print("click", "next");
      form.fwdbtnClick();
    });
  };
  // Done once the player has stayed stopped for a second: the album has played out.
  QTimer done;
  done.setSingleShot(true);
  done.setInterval(1000);
  QObject::connect(&done, &QTimer::timeout, &app, &QCoreApplication::quit);
  QObject::connect(&form.Session, &TAlbumSession::PlayerStateReported, [&](int state) {
    if (state == XA_PLAYER_STATE_STOPPED)
      done.start();
    else if (state == XA_PLAYER_STATE_PLAYING)
      done.stop();
  });

  form.Session.Scanner.SourceRoot = music;
  form.LoadAlbum();
  const int rc = app.exec();
  form.XAudio->Exit();
  return rc;
}
