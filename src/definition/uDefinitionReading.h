#pragma once
// Which XML reader reads the definition. The program always uses Fast: the fast reader for plain
// UTF-8 files, the general one (Qt's stream reader) taking over for anything else. Tests compare
// the two with General (the general reader alone) and PlainOnly (the fast one alone: a file it
// does not take is refused with an EDefinitionError).
enum class TDefinitionReading { Fast, General, PlainOnly };

// For tests: how every following TWizardDefinition::Parse and Load reads.
void SetDefinitionReading(TDefinitionReading reading);
