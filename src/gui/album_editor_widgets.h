// The widgets of the album editor page and of the upload progress page, registered in their
// form views under the controllers' control numbers.
#pragma once

class QWidget;

namespace zerva::gui {

class FormView;

// Name, folder, description, visibility with its protection popup, link and details group on
// top; the item buttons, counts and size slider in a row; the thumbnail list filling the rest.
void BuildAlbumEditor(QWidget* page, FormView& view);
// The square thumbnail of the item being sent, the job's name, the times, the bar with its
// percentage and the album's link, in a centred column.
void BuildUploadPage(QWidget* page, FormView& view);

}  // namespace zerva::gui
