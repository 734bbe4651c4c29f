# One place for the compiler settings every target of ours shares.
function(kurvo_target_setup target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(KURVO_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# Sources of folders and all their subfolders.
function(kurvo_glob_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# kurvo_layer(NAME FOLDER [DEPENDS lib...] [PRIVATE lib...])
# One static library per folder of src/. Code includes "folder/File.h"; a library sees only its
# own folder and, through what it links, the folders of the layers below it. Each folder is
# published through an include root of its own in the build tree that holds nothing but that
# folder, so an include that climbs to a layer the library does not link fails to compile.
function(kurvo_layer name folder)
  cmake_parse_arguments(L "" "" "DEPENDS;PRIVATE" ${ARGN})
  kurvo_glob_sources(sources ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
  add_library(${name} STATIC ${sources})
  set(root ${PROJECT_BINARY_DIR}/include/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${name} PUBLIC ${root})
  target_link_libraries(${name} PUBLIC ${L_DEPENDS} PRIVATE ${L_PRIVATE})
  kurvo_target_setup(${name})
endfunction()
