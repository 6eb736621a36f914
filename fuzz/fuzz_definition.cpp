// The wizard definition: any bytes are either refused with a message or give a definition whose
// steps and field lists can all be read.
#include "FuzzSupport.h"
#include "definition/WizardSteps.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnsureFuzzApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<TWizardDefinition> def;
  try {
    def = TWizardDefinition::Parse(FuzzBytes(data, size), QStringLiteral("WizardSteps.xml"));
  } catch (const EDefinitionError& e) {
    FUZZ_CHECK(!e.Message().isEmpty());
    return 0;
  }
  FUZZ_CHECK(def && def->StepCount() > 0);
  for (int i = 0; i < def->StepCount(); ++i) {
    (void)def->InfoText(i);
    (void)def->NavigationText(i);
    const TStepMetric& m = def->StepMetric(i);
    FUZZ_CHECK(m.Width > 0 && m.Height > 0);
  }
  TFieldLists lists;
  try {
    BuildFieldLists(*def, lists);
  } catch (const EDefinitionError& e) {
    FUZZ_CHECK(!e.Message().isEmpty());
    FUZZ_CHECK(lists.empty());
    return 0;
  }
  FUZZ_CHECK(int(lists.size()) == def->StepCount());
  for (const TFormFieldList& list : lists)
    for (int j = 0; j < list.Count(); ++j) (void)list.Fields(j)->Name();
  return 0;
}
