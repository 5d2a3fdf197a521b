.exit_meanings <- c(`72` = "the run linked no pair", `73` = "pairs failed and were skipped",
                    `74` = "a report block could not be written to the report file")

# Runs a linking parameter file as torvak-link does and returns its results document (the
# one torvak-link --results writes) as a list. Reports go where the file says. The diagnostics
# options are those of torvak_link; exclude counts the records of each pair's files.
torvak_run <- function(parameter_file, threads = 0, exclude = NULL,
                       se = c("none", "jackknife", "bootstrap"), replications = 200, seed = 1,
                       drift_cutoff = 0.1, diagnostics = TRUE) {
  if (!is.character(parameter_file) || length(parameter_file) != 1L || is.na(parameter_file)) {
    stop("parameter_file must be one file name", call. = FALSE)
  }
  threads <- .whole_number(threads, "threads", 0L)
  wanted <- .diagnostics(exclude, se, replications, seed, drift_cutoff, diagnostics)
  text <- .Call(torvak_run_file, path.expand(parameter_file), threads, wanted)
  results <- jsonlite::fromJSON(text, simplifyVector = FALSE)
  status <- results$exit_status
  if (!identical(as.integer(status), 0L)) {
    meaning <- .exit_meanings[as.character(status)]
    warning(sprintf("%s: exit status %d%s", parameter_file, status,
                    if (is.na(meaning)) "" else paste0(": ", meaning)), call. = FALSE)
  }
  results
}
