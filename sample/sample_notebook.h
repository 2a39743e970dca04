// The bundled sample notebook: a small Evernote .exb file that shows every road of the import.
#pragma once

#include <string>

namespace sample {

// The .exb day count of a universal date and time (0001-01-01 00:00 is day 1.0).
double ExbDate(int year, int month, int day, int hour, int minute);

// The pictures and files of the sample's notes, as stored in the file.
std::string BreadPicture();
std::string DessertPicture();
std::string ColosseumPicture();
std::string ChartPicture();
std::string ItineraryPdf();
std::string ShoppingListText();

// Writes the sample notebook to path, replacing a file that is there; false with a reason in error.
bool WriteSampleNotebook(const std::wstring& path, std::string* error);

}  // namespace sample
