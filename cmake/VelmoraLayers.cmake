# Each library of the terminal sees its own folder and the folders of the libraries it links,
# nothing else: an include of a header from a layer above (a window from a core, the trade
# panel from the market) fails to compile. A library's include root is a folder in the build
# tree holding one link, named as its folder is named in includes ("client", "market/core"),
# to that folder in src/.
#
# velmora_include_root(TARGET FOLDER): FOLDER is relative to src/.
function(velmora_include_root target folder)
  set(root ${PROJECT_BINARY_DIR}/include-roots/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT IS_SYMLINK ${root}/${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
