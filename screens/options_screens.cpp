// The options page in the host's options dialog, one picture per tab, and
// the forms and the folder dialog the page opens.
#include <QApplication>
#include <QTabWidget>
#include <memory>
#include <string>

#include "host/demo_settings.h"
#include "host/options_dialog.h"
#include "options/associate_contact_form.h"
#include "options/frm_advanced_options.h"
#include "options/frm_overrides.h"
#include "options/keyword_form.h"
#include "options/prop_library.h"
#include "options/uc1.h"
#include "platform/mailstore/profile.h"
#include "platform/mirelink/mirelink.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/platform_dialogs.h"
#include "screens/screens.h"

namespace {

outlook::ApplicationPtr DemoApplication() {
    auto profile = mailstore::Profile::Open("Default");
    host::WriteDemoSettings(*profile);
    return outlook::CreateApplication(profile, "11.0.8217");
}

const screens::Registration page("options", [](screens::Shot& shot) {
    auto* dialog = new host::OptionsDialog(DemoApplication());
    dialog->AddPage(std::make_shared<plovanex::UC1>());
    dialog->show();
    QApplication::processEvents();
    auto* tabs = dialog->findChild<QTabWidget*>("vsFlexGridTab");
    const char* const names[] = {"general", "confirmation", "keyword", "contacts"};
    for (int tab = 0; tab < 4; ++tab) {
        tabs->setCurrentIndex(tab);
        shot.Take(dialog, names[tab]);
    }
});

const screens::Registration advanced("options-advanced", [](screens::Shot& shot) {
    shot.Take(new plovanex::frmAdvancedOptions);
});

const screens::Registration overrides("options-overrides", [](screens::Shot& shot) {
    auto application = DemoApplication();
    auto* form = new plovanex::frmOverrides;
    std::string appName = "Ostrevane";
    std::string section = "Plovanex";
    ostrevane::OptionsHostPtr none;
    form->ShowIt(appName, section, none);
    shot.Take(form);
});

const screens::Registration contactEditor("options-contact-editor", [](screens::Shot& shot) {
    shot.Take(new plovanex::AssociateContactForm);
});

const screens::Registration keywordEditor("options-keyword-editor", [](screens::Shot& shot) {
    shot.Take(new plovanex::KeywordForm);
});

// As Run Now asks it.
const screens::Registration pickFolder("pick-folder", [](screens::Shot& shot) {
    auto application = DemoApplication();
    shot.Take(new platform::widgets::PickFolderDialog(
        application->GetNamespace("MAPI"),
        {.prompt = "Choose the folder whose mail Run Now files by your rules.",
         .defaultFolder = outlook::olFolderSentMail}));
});

// As the contact editor asks it.
const screens::Registration addressBook("address-book", [](screens::Shot& shot) {
    auto application = DemoApplication();
    auto utils = mirelink::CreateMAPIUtils();
    utils->SetMAPIOBJECT(application->GetNamespace("MAPI")->MAPIOBJECT());
    shot.Take(new platform::widgets::AddressBookDialog(
        {.title = "Select addresses to associate", .recipLists = 1, .toLabel = "Add"},
        utils->AddressEntries()));
});

}  // namespace
