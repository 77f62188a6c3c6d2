// A whole main form on fakes: every port, the process-wide objects, the
// Options dialog on a paper view, and a recording view. Tests arrange the fakes, then Start().
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/notifications_form.h"
#include "fakes/fake_audio_endpoints.h"
#include "fakes/fake_files.h"
#include "fakes/fake_link.h"
#include "fakes/fake_options_view.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_raw_input.h"
#include "fakes/fake_program.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/fake_utf8.h"
#include "fakes/fake_version.h"

namespace varnolet::fakes {

inline constexpr char16_t kAppDir[] = u"C:\\Program Files\\Varnolet 7";
inline constexpr char16_t kAppData[] = u"C:\\Users\\u\\AppData\\Roaming";
inline constexpr char16_t kDataDir[] = u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data";

class FormRig {
 public:
  // `optionsWindowAtStart` false: the Options dialog's view has no window
  // until the dialog is first shown, as in the program.
  explicit FormRig(bool optionsWindowAtStart = true) : optionsView(optionsWindowAtStart) {
    files.AddFolder(kAppData);
    files.AddFolder(kAppDir);
    languages.Add(std::u16string(kAppDir) + u"\\Language\\English.dll", EnglishStrings());
  }

  Ports AllPorts() {
    return Ports{system, system,    utf8,  registry, files, version,
                 audio,  processes, token, wmi,      clsid, rawInput};
  }

  static std::vector<std::u16string> EnglishStrings() {
    return std::vector<std::u16string>(kBuiltInStrings.begin(), kBuiltInStrings.end());
  }

  TNotificationsForm& Start() {
    objects = std::make_unique<ProcessObjects>(AllPorts());
    form = std::make_unique<TNotificationsForm>(*objects, environment, languages, options, view);
    return *form;
  }

  // The activity log without time stamps.
  std::vector<std::u16string> Lines() const {
    std::vector<std::u16string> lines;
    for (const std::u16string& line : form->Log().Lines()) {
      const std::size_t at = line.find(u" :: ");
      lines.push_back(at == std::u16string::npos ? line : line.substr(at + 4));
    }
    return lines;
  }
  // The lines from the first one equal to `from` (inclusive) up to the first
  // later line equal to `to` (exclusive; the end when empty).
  std::vector<std::u16string> Section(const std::u16string& from, const std::u16string& to = {}) const {
    const std::vector<std::u16string> all = Lines();
    std::vector<std::u16string> part;
    bool in = false;
    for (const std::u16string& line : all) {
      if (!in && line == from)
        in = true;
      else if (in && !to.empty() && line == to)
        break;
      if (in) part.push_back(line);
    }
    return part;
  }

  FakeSystem system;
  FakeRegistry registry;
  FakeFiles files{system};
  FakeVersion version{system};
  FakeUtf8 utf8;
  FakeCoreAudio audio;
  FakeProcessTable processes{system};
  FakeToken token{system};
  FakeWmi wmi;
  FakeClsid clsid;
  FakeRawInput rawInput{system};
  FakeEnvironment environment{system};
  FakeLanguages languages{system};
  FakeOptionsView optionsView;
  TOptionsForm options{optionsView};
  RecordingView view;
  std::unique_ptr<ProcessObjects> objects;
  std::unique_ptr<TNotificationsForm> form;
};

}  // namespace varnolet::fakes
