#include "app/second_launch.h"

#include "platform/random_source.h"

int RunSecondLaunch(const std::vector<std::string>& arguments, const HandOffPlaces& places,
                    const std::string& currentDirectory, std::ostream& errors) {
  CLibraryRandom random;
  for (const std::string& argument : arguments)
    if (!WriteHandOffFile(AbsoluteArgument(argument, currentDirectory), places, random))
      errors << "mellowdeck: could not hand \"" << argument
             << "\" over to the running player: no hand-off file could be written in "
             << places.programDirectory << " or " << places.fallbackDirectory << '\n';
  return 1;
}
