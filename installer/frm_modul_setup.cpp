#include "installer/frm_modul_setup.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "installer/extension_files.h"
#include "installer/registration.h"
#include "installer/version.h"
#include "platform/com/error.h"
#include "platform/com/error_log.h"
#include "platform/com/steps.h"
#include "platform/settings/settings.h"

namespace kado::setup {

namespace fs = std::filesystem;
using forms::GridPlace;

namespace {

// The installer logs beside itself, not where the plug-in logs.
struct SetupLog {
    fs::path file;
    void operator()(std::string_view moduleName, std::string_view procedureName,
                    const com::Failure& failure) const noexcept {
        com::AppendErrorLogEntry(file, moduleName, procedureName, failure);
    }
};

using SetupSteps = com::BasicSteps<SetupLog>;

}  // namespace

ModulSetup::ModulSetup(std::shared_ptr<forms::Desktop> desktop, fs::path startFolder)
    : start_(std::move(startFolder)),
      form_(forms::Form::Create(std::move(desktop), std::string(kFormName),
                                [this](forms::Form& form) { Design(form); })) {}

void ModulSetup::Design(forms::Form& form) {
    form.SetCaption("Kado Erweiterungsinstallierer");
    // Declared in the window's own order; the grid puts the captions left of their
    // values, the version at the foot beside OK.
    auto& ok = form.Add<forms::CommandButton>("Command1", GridPlace{2, 1});
    ok.SetCaption("&OK");
    ok.OnClick([this] { Command1Click(); });
    form.Add<forms::Label>("Label3", GridPlace{2, 0});
    auto& ex = form.Add<forms::Label>("lblEx", GridPlace{1, 1});
    ex.SetCaption(std::string(kNoExtension));
    ex.SetWidthChars(44);
    form.Add<forms::Label>("Label2", GridPlace{1, 0}).SetCaption("Installierte Erweiterung:");
    form.Add<forms::Label>("lblZiel", GridPlace{0, 1}).SetWidthChars(44);
    form.Add<forms::Label>("Label1", GridPlace{0, 0}).SetCaption("Zielpfad:");
    // Shown only when something failed: the administrator sees it, not only the log.
    auto& failed = form.Add<forms::Label>("lblFehler", GridPlace{3, 0, 1, 2});
    failed.SetVisible(false);
    form.OnLoad([this] { FormLoad(); });
}

void ModulSetup::FormLoad() {
    SetupSteps s(kFormName, "Form_Load", SetupLog{start_ / "Verw.log"});
    forms::Form& f = *form_;
    s(100, [&] { targetFolder_ = std::string(kNoData); });
    s(110, [&] { targetFolder_ = settings::GetSetting(kSettingsApp, kSettingsSection, kSettingsKey, kNoData); });
    s(120, [&] { f.Get<forms::Label>("Label3").SetCaption(VersionText()); });
    bool missing = false;
    s(130, [&] { missing = targetFolder_ == kNoData; });
    if (missing) {
        s(140, [&] { targetFolder_ = start_.string(); });
        s(150, [&] { settings::SaveSetting(kSettingsApp, kSettingsSection, kSettingsKey, targetFolder_); });
    }
    s(160, [&] { f.Get<forms::Label>("lblZiel").SetCaption(targetFolder_); });
    // Visible while the files are copied.
    s(170, [&] { f.Show(); });

    // A missing program folder would take no file and say nothing: stop here, visibly.
    bool targetThere = false;
    s(175, [&] {
        std::error_code ec;
        targetThere = fs::is_directory(targetFolder_, ec);
        if (targetThere) return;
        const bool exists = fs::exists(targetFolder_, ec);
        com::Raise(com::err::PathNotFound, "Der Zielpfad \"" + targetFolder_ + "\" " +
                                               (exists ? "ist kein Ordner" : "fehlt") +
                                               " (Einstellung KadoVerwaltung/Pfade/Programm); nichts installiert");
    });
    if (!targetThere) {
        s(176, [&] { f.Get<forms::Label>("lblEx").SetCaption(std::string(kNothingInstalled)); });
        Fail("Zielpfad fehlt oder ist kein Ordner; nichts installiert");
        return;
    }

    std::vector<std::string> names;
    if (!s(180, [&] { names = ListPlainFiles(start_); })) Fail("Ordner " + start_.string() + " nicht lesbar");
    const fs::path target = targetFolder_;
    const fs::path tool = target / kRegistrationTool;
    // The tool first, so it is in place before the first library asks for it.
    if (!s(190, [&] { CopyOver(start_ / kRegistrationTool, tool); }))
        Fail(std::string(kRegistrationTool) + " nicht kopiert");
    for (const std::string& name : names) {
        const bool copied = s(200, [&] {
            if (LowerCase(name) != kRegistrationTool) CopyOver(start_ / name, target / name);
        });
        if (!copied) Fail(name + " nicht kopiert");
        // A failed copy leaves the older copy in the target, which is registered all the same.
        if (IsLibrary(name)) {
            if (!s(210, [&] { running_.push_back(StartRegistration(tool, target / name)); }))
                Fail("Registrierung von " + name + " nicht gestartet");
            s(220, [&] { f.Get<forms::Label>("lblEx").SetCaption(LowerCase(name)); });
        }
    }
}

void ModulSetup::AwaitRegistrations(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (auto it = running_.begin(); it != running_.end();) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const auto state = it->Poll(std::max(left, std::chrono::milliseconds(0)));
        if (state == StartedRegistration::State::Running) {
            ++it;
            continue;
        }
        if (state == StartedRegistration::State::Failed) {
            const std::string name = it->Library().filename().string();
            SetupLog{start_ / "Verw.log"}(kFormName, "Form_Load",
                                          com::Failure{com::err::PathFileAccess.number,
                                                       "Registrierung von " + it->Library().string() +
                                                           " fehlgeschlagen: " + it->Why(),
                                                       210});
            Fail("Registrierung von " + name + " fehlgeschlagen (" + it->Why() + ")");
        }
        it = running_.erase(it);
    }
}

void ModulSetup::Fail(std::string what) {
    failures_.push_back(std::move(what));
    std::string text = "Installation fehlgeschlagen:";
    for (const std::string& f : failures_) text += "\n" + f;
    text += "\nEinzelheiten: " + (start_ / "Verw.log").string();
    SetupSteps::Quiet([&] {
        auto& label = form_->Get<forms::Label>("lblFehler");
        label.SetCaption(text);
        label.SetVisible(true);
    });
}

void ModulSetup::Command1Click() {
    SetupSteps s(kFormName, "Command1_Click", SetupLog{start_ / "Verw.log"});
    s(100, [&] { form_->Unload(); });
}

std::vector<std::string> ShownCaptions(const forms::Form& form) {
    std::vector<std::string> captions{form.Caption()};
    for (const forms::Control* c : form.Controls()) {
        if (!c->Visible()) continue;
        if (const auto* label = dynamic_cast<const forms::Label*>(c)) captions.push_back(label->Caption());
        if (const auto* button = dynamic_cast<const forms::CommandButton*>(c)) captions.push_back(button->Caption());
    }
    return captions;
}

}  // namespace kado::setup
