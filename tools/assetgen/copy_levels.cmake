# Copies DATA_DIR/levels.txt and DATA_DIR/levels/*.lvl and *.sol (the solutions
# give each level's par and its "show me") into RUN_DIR. Without a
# levels.txt in the sources the run directory gets an empty one: the menu then
# shows only empty slots, which is what a game without levels should show.
file(MAKE_DIRECTORY ${RUN_DIR}/levels)
if(EXISTS ${DATA_DIR}/levels.txt)
  file(COPY_FILE ${DATA_DIR}/levels.txt ${RUN_DIR}/levels.txt ONLY_IF_DIFFERENT)
elseif(NOT EXISTS ${RUN_DIR}/levels.txt)
  file(WRITE ${RUN_DIR}/levels.txt "")
endif()
file(GLOB levels ${DATA_DIR}/levels/*.lvl ${DATA_DIR}/levels/*.sol)
foreach(level ${levels})
  get_filename_component(name ${level} NAME)
  file(COPY_FILE ${level} ${RUN_DIR}/levels/${name} ONLY_IF_DIFFERENT)
endforeach()
