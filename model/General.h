#pragma once
/** Small helpers shared by the model, the generator and the shell. */

#include "core/StringList.h"

#include <string>
#include <string_view>

/** "true" or "false". */
std::string BoolToText(bool value);
/** True exactly when the text is "true" in any letter case. */
bool TextToBool(std::string_view text);

/** Fills list with the values of an enum(...) or set(...) column type, one
 *  line "value=value" each, inserted in order ahead of the lines already there,
 *  and sets kind to "enum", "set" or "". */
void ParseEnumSet(std::string_view typeText, TStringList& list, std::string& kind);

/** Copies the whole content of sourceFile into targetFile (created or replaced). */
void CopyFileByStream(const std::string& sourceFile, const std::string& targetFile);
/** Copies every entry of sourceFolder matching mask into targetFolder under
 *  the same name. Both folders end with "/". The first failure ends the copy. */
void CopyFolderFiles(const std::string& sourceFolder, const std::string& targetFolder, const std::string& mask);

/** Folder of the running program, ending with "/". */
std::string GetAppFolder();
