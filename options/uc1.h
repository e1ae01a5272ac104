#pragma once

#include <memory>
#include <string>

#include "platform/ostrevane/module.h"
#include "platform/ostrevane/property_page.h"

namespace plovanex {

// The add-in's page in the host's options dialog: the filing order, the
// confirmation mode and default folder, the keyword and contact rule grids,
// Run Now and Build Index. Every showing of its control reloads it from the
// store.
class UC1 : public ostrevane::ModuleObject, public ostrevane::IPropertyPage {
  public:
    UC1();
    // The page's end: the rule tables, the help texts and the host go.
    ~UC1() override;

    void SetHost(ostrevane::OptionsHostPtr& theHost) override;
    bool Dirty() override;
    void ResetHotHelp() override;
    void SetEnabled(bool& newEnabled) override;
    void Apply() override;
    void LoadValues() override;
    std::string SendPropMessage(std::string& theMessage, std::string& theData) override;
    std::string GetRecipientSMTPAddress(outlook::ObjectPtr& safeRecip) override;
    QWidget* Control() override;

  private:
    struct Page;
    std::unique_ptr<Page> page_;
};

}  // namespace plovanex
