#pragma once

#include <QPointer>
#include <functional>
#include <memory>

#include "options/rules/rule_tables.h"
#include "platform/ostrevane/options_host.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/outlook/fwd.h"

namespace plovanex {

class frmAdvancedOptions;
class frmOverrides;
class AssociateContactForm;
class KeywordForm;

// The options-page library's state, one set per thread that uses it. The
// page and the library's forms share it; its SettingsHelper is the core's
// one (Helper()).
struct PropLibrary {
    // Set by the page's SetHost, released by the page's end.
    ostrevane::OptionsHostPtr host;
    // Filled by LoadHelpTexts whenever the page is shown.
    ostrevane::HelpTexts helpSource;
    // The page fills its controls from the store: change notices are ignored.
    bool Loading = false;
    // A change by the user since the last fill or apply.
    bool Dirty = false;
    // Made anew by the grids' set-up.
    std::unique_ptr<CKeywordRowCollection> keywordRows;
    std::unique_ptr<CAssocRowCollection> contactRows;
    // One instance of each form, made on first use and gone when unloaded.
    QPointer<frmAdvancedOptions> advancedOptions;
    QPointer<frmOverrides> overrides;
    QPointer<AssociateContactForm> contactEditor;
    QPointer<KeywordForm> keywordEditor;
    // The next uniform random number in [0, 1) for a new rule key; when
    // empty, the library's generator, seeded from the clock at each add.
    std::function<double()> random;
};
PropLibrary& Prop();

// The host of the page; raises the language's error for nothing when none
// is set.
ostrevane::OptionsHost& Host();
// The host's mail client; raises when there is no host or no client.
outlook::ApplicationPtr HostApplication();

}  // namespace plovanex
