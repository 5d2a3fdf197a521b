// Reading a data file for an engine: the reader's failure is shown to the user.
//
// A file that cannot be opened shows its name under the caption "No such file"; a faulty
// file shows the reader's message (file, line, word or counts) under "Faulty data file". A
// file whose records do not start at the beginnings of lines is read all the same, with a
// warning shown once per file and run.
#pragma once

#include <cstddef>
#include <vector>

#include "data/item_file.h"
#include "linking/run_settings.h"

// true when the file was read completely.
bool readDataFileShown(RunSettings& s, const DataFileSpec& spec, int scaleFlag,
                       const ItemFileOutputs& out);

// The run's answer to an allocation that failed: a beep and "Not Enough Memory".
void showNotEnoughMemory(RunHost& host);

// Sizes the arrays for records records (slopes: records x Theta_Dimension; intercepts and
// guessing, when given: records) and reads spec into them with readDataFileShown. With
// intercepts the file is an item file whose format must hold Theta_Dimension "A"; with
// categories its polytomous items are read too (one entry per item), without them refused.
// An allocation failure is shown as such and fails the read.
bool readItemArraysShown(RunSettings& s, const DataFileSpec& spec, int scaleFlag,
                         std::size_t records, std::vector<double>& slopes,
                         std::vector<double>* intercepts, std::vector<double>* guessing,
                         ItemCategories* categories = nullptr);

// Whether the From and To items match in kind and category count, item by item; when they do
// not, shows which items differ ("Faulty data file") and returns false.
bool itemCategoriesMatchShown(RunSettings& s, const ItemCategories& from,
                              const ItemCategories& to);
