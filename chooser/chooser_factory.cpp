#include "chooser/chooser_factory.h"

#include <QApplication>

#include "chooser/chooser_common.h"
#include "chooser/frm_choose_outlook_folders4.h"
#include "platform/error.h"

namespace plovanex {

ChooserFactory MakeChooserFactory() {
    return [](ChooserVariant variant) -> std::shared_ptr<IChooseOutlookFolders> {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
            throw platform::Error(
                "The folder chooser cannot be created: the program shows no windows");
        }
        if (variant == ChooserVariant::Search) {
            return std::make_shared<chooser::ChooseOutlookFolders4>();
        }
        return nullptr;
    };
}

bool ChooserFormsAlive() {
    return chooser::CountedForm::Alive() > 0;
}

}  // namespace plovanex
