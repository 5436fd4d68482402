#include "SearchBinding.h"

#include "ItemViews.h"
#include "MainMenus.h"
#include "RichTextEditor.h"
#include "searchbox.h"

SearchBinding::SearchBinding(searchbox* field, MainMenus* menus, RichTextEditor* notes, QObject* parent)
    : QObject(parent), field(field), menus(menus), notes(notes)
{
    connect(menus, &MainMenus::scopeChosen, this, [this](SearchScope scope) {
        this->field->showScope(scope);
        if (view) {
            view->setSearchScope(scope);
        }
    });
    connect(field, &searchbox::searchText, this, [this](const QString& text) {
        if (!view) {
            return;
        }
        // A note being typed is searched as it stands on screen.
        if (view->getSearchScope() == SearchScope::Everything) {
            this->notes->updateNote();
        }
        view->search(text);
    });
}

void SearchBinding::bindTo(ItemViews* shown)
{
    view = nullptr; // the terms shown next are the tab's own, not a new search
    menus->showScope(shown ? shown->getSearchScope() : SearchScope::TitlesAndDescriptions, shown != nullptr);
    if (!shown) {
        return;
    }
    field->showScope(shown->getSearchScope());
    field->setTerms(shown->getSearchTerms());
    view = shown;
}
