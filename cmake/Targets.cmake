# Helpers for declaring the project's targets.

# ostrel_plain_target(target): a target that needs none of Qt's code
# generators (it does not use Qt, or its code is generated already). With the
# Qt layers in the build, AUTOMOC, AUTORCC and AUTOUIC are on for every
# target, since Qt targets need them; a plain target turns them off, so it
# neither runs the generators nor waits for them. Call it beside
# ostrel_warnings(target).
function(ostrel_plain_target target)
  set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
endfunction()
