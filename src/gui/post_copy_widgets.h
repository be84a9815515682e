// The widgets of the post-upload page and of the send-by-e-mail page, registered in their form
// views under the controllers' control numbers.
#pragma once

class QWidget;

namespace zerva::gui {

class FormView;

// The album's picture beside its name, address and marks; the four buttons and the return
// button in a row; the banners one below the other.
void BuildPostCopyPage(QWidget* page, FormView& view);
// The recipients with the address book's button beside them, the subject and the message.
void BuildSendEmailPage(QWidget* page, FormView& view);

}  // namespace zerva::gui
