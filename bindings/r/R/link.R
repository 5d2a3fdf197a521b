.methods <- c(irs = 4L, tcs = 3L, ls = 1L)
.method_names <- c(irs = "item response surfaces", tcs = "test characteristic surfaces",
                   ls = "least squares")
.search_methods <- c(builtin = 0L, steepest = 1L, newton = 2L)
.se_methods <- c("none", "jackknife", "bootstrap")
.most_replications <- 1000000  # as torvak-link --se bootstrap:B takes

.whole_number <- function(x, name, lowest) {
  if (!is.numeric(x) || length(x) != 1L || !is.finite(x) || x != round(x) || x < lowest) {
    stop(sprintf("%s must be one whole number of at least %d", name, lowest), call. = FALSE)
  }
  as.integer(x)
}

.number <- function(x, name) {
  if (!is.numeric(x) || length(x) != 1L || !is.finite(x)) {
    stop(sprintf("%s must be one finite number", name), call. = FALSE)
  }
  as.double(x)
}

.shown <- function(x) {
  if (is.null(x)) "NULL" else if (is.character(x)) sprintf("\"%s\"", x) else format(x)
}

# exclude as sorted item numbers from 1 (to count, when it is known).
.item_numbers <- function(exclude, count = NULL) {
  if (is.null(exclude)) return(numeric())
  within <- if (is.null(count)) "1 or more" else sprintf("1 to %d", count)
  for (x in as.list(exclude)) {
    if (!is.numeric(x) || !is.finite(x) || x != round(x) || x < 1 ||
        (!is.null(count) && x > count)) {
      stop(sprintf("exclude: %s is not an item number (%s)", .shown(x), within), call. = FALSE)
    }
  }
  sort(unique(as.double(exclude)))
}

# The diagnostics the C++ side takes, from the arguments of torvak_link and torvak_run.
.diagnostics <- function(exclude, se, replications, seed, drift_cutoff, diagnostics,
                         count = NULL) {
  if (identical(se, .se_methods)) se <- "none"
  if (!is.character(se) || length(se) != 1L || !(se %in% .se_methods)) {
    stop(sprintf("se must be \"none\", \"jackknife\" or \"bootstrap\", not %s",
                 paste(.shown(se), collapse = ", ")), call. = FALSE)
  }
  whole <- function(x, name, lowest, highest) {
    if (!is.numeric(x) || length(x) != 1L || !is.finite(x) || x != round(x) || x < lowest ||
        x > highest) {
      stop(sprintf("%s must be a whole number from %s to %s, not %s", name, format(lowest),
                   format(highest, scientific = FALSE), paste(.shown(x), collapse = ", ")),
           call. = FALSE)
    }
    as.double(x)
  }
  replications <- whole(replications, "replications", 2, .most_replications)
  seed <- whole(seed, "seed", 0, 2^53)
  if (!is.numeric(drift_cutoff) || length(drift_cutoff) != 1L || !is.finite(drift_cutoff) ||
      drift_cutoff < 0 || drift_cutoff > 1) {
    stop(sprintf("drift_cutoff must be a number from 0 to 1, not %s",
                 paste(.shown(drift_cutoff), collapse = ", ")), call. = FALSE)
  }
  if (!is.logical(diagnostics) || length(diagnostics) != 1L || is.na(diagnostics)) {
    stop("diagnostics must be TRUE or FALSE", call. = FALSE)
  }
  list(exclude = .item_numbers(exclude, count), item_diagnostics = diagnostics,
       drift_cutoff = as.double(drift_cutoff), errors = se,
       replications = as.integer(replications), seed = seed)
}

# The search settings of Models 3 and 4: defaults, overridden by the entries of search.
.search_settings <- function(search) {
  if (!is.list(search)) stop("search must be a list", call. = FALSE)
  known <- c("method", "tolerance", "change_directions", "steps", "step_length")
  unknown <- setdiff(names(search), known)
  if (length(search) && (is.null(names(search)) || any(names(search) == "") || length(unknown))) {
    stop(sprintf("search: entries must be named %s%s", paste(known, collapse = ", "),
                 if (length(unknown)) sprintf("; not %s", paste(unknown, collapse = ", ")) else ""),
         call. = FALSE)
  }
  s <- list(method = "builtin", tolerance = 1e-8, change_directions = 15L, steps = 8L,
            step_length = 1.0)
  s[names(search)] <- search
  m <- s$method
  if (is.character(m) && length(m) == 1L && m %in% names(.search_methods)) {
    s$method <- m
  } else if (is.numeric(m) && length(m) == 1L && m %in% .search_methods) {
    s$method <- names(.search_methods)[match(m, .search_methods)]
  } else {
    stop("search$method must be \"builtin\" (0), \"steepest\" (1) or \"newton\" (2)",
         call. = FALSE)
  }
  s$tolerance <- .number(s$tolerance, "search$tolerance")
  s$change_directions <- .whole_number(s$change_directions, "search$change_directions", 1L)
  s$steps <- .whole_number(s$steps, "search$steps", 1L)
  s$step_length <- .number(s$step_length, "search$step_length")
  s
}

# Theta points as an N x k matrix of doubles.
.theta_matrix <- function(theta, k) {
  if (is.data.frame(theta)) {
    for (j in seq_along(theta)) {
      if (!is.numeric(theta[[j]])) {
        stop(sprintf("theta: column '%s' is not numeric", names(theta)[j]), call. = FALSE)
      }
    }
    theta <- as.matrix(theta)
  }
  if (is.null(dim(theta))) {
    if (!is.numeric(theta)) stop("theta must be a numeric matrix of points", call. = FALSE)
    theta <- if (k == 1L) matrix(theta, ncol = 1L) else matrix(theta, nrow = 1L)
  }
  if (!is.numeric(theta) || length(dim(theta)) != 2L) {
    stop("theta must be a numeric matrix of points", call. = FALSE)
  }
  if (ncol(theta) != k) {
    stop(sprintf("theta has %d column%s for a link in %d dimension%s", ncol(theta),
                 if (ncol(theta) == 1L) "" else "s", k, if (k == 1L) "" else "s"), call. = FALSE)
  }
  if (nrow(theta) == 0L) stop("theta holds no points", call. = FALSE)
  matrix(as.double(theta), nrow(theta), k)
}

# to in the row order of from: by row name when both tables have names, else by position.
.matched_order <- function(from, to) {
  n_from <- length(from$intercepts)
  n_to <- length(to$intercepts)
  if (is.null(from$labels) || is.null(to$labels)) {
    if (n_from != n_to) {
      stop(sprintf(paste0("From has %d rows and To %d: the common items must match (rows are ",
                          "matched by position unless both tables have row names)"),
                   n_from, n_to), call. = FALSE)
    }
    return(seq_len(n_to))
  }
  for (side in list(list("From", from$labels), list("To", to$labels))) {
    repeated <- unique(side[[2L]][duplicated(side[[2L]])])
    if (length(repeated)) {
      stop(sprintf("%s: row names repeat: %s", side[[1L]], paste(repeated, collapse = ", ")),
           call. = FALSE)
    }
  }
  only_from <- setdiff(from$labels, to$labels)
  only_to <- setdiff(to$labels, from$labels)
  if (length(only_from) || length(only_to)) {
    parts <- c(if (length(only_from)) sprintf("From rows not in To: %s",
                                              paste(only_from, collapse = ", ")),
               if (length(only_to)) sprintf("To rows not in From: %s",
                                            paste(only_to, collapse = ", ")))
    stop(sprintf("the common items differ (matched by row name): %s",
                 paste(parts, collapse = "; ")), call. = FALSE)
  }
  match(from$labels, to$labels)
}

# Each item's model and category count; a table without categories holds dichotomous items.
.item_models <- function(table) {
  n <- length(table$intercepts)
  if (is.null(table$categories)) return(list(kinds = rep("dichotomous", n), counts = rep(2L, n)))
  table$categories
}

.item_description <- function(kind, count) {
  if (count <= 2L) "dichotomous" else sprintf("%s, %d categories", .kind_names[[kind]], count)
}

# An error naming the items (up to five) whose model or category count differ in From and To
# (to in the row order of from).
.check_item_models <- function(from, to, order) {
  f <- .item_models(from)
  g <- .item_models(to)
  g_kinds <- g$kinds[order]
  g_counts <- g$counts[order]
  differ <- which(f$kinds != g_kinds | f$counts != g_counts)
  if (!length(differ)) return(invisible())
  shown <- vapply(head(differ, 5L), function(i) {
    sprintf("%s (%s in From, %s in To)", .row_name(from, i),
            .item_description(f$kinds[i], f$counts[i]),
            .item_description(g_kinds[i], g_counts[i]))
  }, "")
  stop(sprintf("From and To differ in item model or category count: %s%s",
               paste(shown, collapse = "; "),
               if (length(differ) > 5L) sprintf("; and %d more", length(differ) - 5L) else ""),
       call. = FALSE)
}

# The categories the C++ side takes for the rows of a table: kinds as the core codes them,
# counts, and the intercepts d2 .. of every item in row order.
.kind_codes <- c(dichotomous = 0L, graded = 1L, gpcm = 2L)
.category_arrays <- function(table, rows) {
  models <- .item_models(table)
  rest <- if (is.null(table$categories)) numeric() else unlist(table$categories$rest[rows])
  list(kinds = unname(.kind_codes[models$kinds[rows]]), counts = as.integer(models$counts[rows]),
       rest = as.double(if (is.null(rest)) numeric() else rest))
}

.square <- function(values, k) {
  if (length(values) != k * k) return(matrix(NA_real_, k, k))
  matrix(values, k, k, byrow = TRUE)
}

.vector <- function(values, k) if (length(values) == k) values else rep(NA_real_, k)

# The item diagnostics as a data frame: per dimension j slope_to_j, slope_transformed_j and
# slope_difference_j after the intercepts; rows named after the From table's rows.
.item_frame <- function(columns, k, labels) {
  out <- data.frame(item = as.integer(columns$item), model = columns$model,
                    categories = columns$categories, rmsd = columns$rmsd,
                    max_difference = columns$max_difference, share = columns$share,
                    flagged = columns$flagged, intercept_to = columns$intercept_to,
                    intercept_transformed = columns$intercept_transformed,
                    intercept_difference = columns$intercept_difference)
  for (j in seq_len(k)) {
    for (kind in c("to", "transformed", "difference")) {
      out[[sprintf("slope_%s_%d", kind, j)]] <- columns[[paste0("slope_", kind)]][, j]
    }
  }
  if (!is.null(labels) && !anyDuplicated(labels)) rownames(out) <- labels[out$item]
  out
}

# Standard errors of M and t; the bounds of the bootstrap's 95 % interval (NULL otherwise).
.standard_errors <- function(e, k) {
  if (is.null(e)) return(NULL)
  bootstrap <- e$method == "bootstrap"
  list(M = .square(e$M, k), t = .vector(e$t, k), method = e$method,
       replications = e$replications, failed = e$failed,
       seed = if (bootstrap) e$seed,
       M_lower = if (bootstrap) .square(e$M_lower, k),
       M_upper = if (bootstrap) .square(e$M_upper, k),
       t_lower = if (bootstrap) .vector(e$t_lower, k),
       t_upper = if (bootstrap) .vector(e$t_upper, k))
}

# theta_To = M theta_From + t from the parameters of the common items of a From and a To
# calibration.
torvak_link <- function(from, to, method = c("irs", "tcs", "ls"), theta = NULL, grid = 11,
                        range = c(-4, 4), weights = c("equal", "normal"),
                        from_metric = c("logistic", "normal"),
                        to_metric = c("logistic", "normal"), search = list(), threads = 0,
                        exclude = NULL, se = c("none", "jackknife", "bootstrap"),
                        replications = 200, seed = 1, drift_cutoff = 0.1, diagnostics = TRUE) {
  method <- match.arg(method)
  weights <- match.arg(weights)
  from_metric <- match.arg(from_metric)
  to_metric <- match.arg(to_metric)
  f <- .item_table(from, "From")
  g <- .item_table(to, "To")
  if (f$k != g$k) {
    stop(sprintf("From has %d slope column%s and To %d: both calibrations must have the same dimension",
                 f$k, if (f$k == 1L) "" else "s", g$k), call. = FALSE)
  }
  k <- f$k
  order <- .matched_order(f, g)
  .check_item_models(f, g, order)
  if (is.null(theta)) {
    grid <- .whole_number(grid, "grid", 2L)
  } else {
    theta <- .theta_matrix(theta, k)
    grid <- 0L
  }
  if (!is.numeric(range) || length(range) != 2L || !all(is.finite(range))) {
    stop("range must be two finite numbers", call. = FALSE)
  }
  threads <- .whole_number(threads, "threads", 0L)
  s <- .search_settings(search)
  n <- length(f$intercepts)
  wanted <- .diagnostics(exclude, se, replications, seed, drift_cutoff, diagnostics, n)
  if (length(wanted$exclude) && n - length(wanted$exclude) < k + 1L) {
    stop(sprintf("exclude leaves %d of the %d common items: a link in %d dimension%s needs %s",
                 n - length(wanted$exclude), n, k, if (k == 1L) "" else "s",
                 paste("at least", k + 1L)), call. = FALSE)
  }
  settings <- list(model = .methods[[method]], dimension = k, grid = grid,
                   range_begin = as.double(range[1L]), range_end = as.double(range[2L]),
                   weighing = if (weights == "normal") 1L else 0L,
                   from_type = if (from_metric == "normal") 1L else 0L,
                   to_type = if (to_metric == "normal") 1L else 0L,
                   search_method = .search_methods[[s$method]], tolerance = s$tolerance,
                   change_directions = s$change_directions, steps = s$steps,
                   step_length = s$step_length)
  # Categories go along only with polytomous items: without them the link is the one of
  # dichotomous items it always was.
  polytomous <- any(.item_models(f)$counts > 2L)
  arrays <- function(t, rows) {
    list(slopes = t$slopes[rows, , drop = FALSE], intercepts = t$intercepts[rows],
         guessing = t$guessing[rows],
         categories = if (polytomous) .category_arrays(t, rows))
  }
  r <- .Call(torvak_link_arrays, settings, arrays(f, seq_along(f$intercepts)), arrays(g, order),
             theta, threads, wanted)
  if (length(r$M) != k * k) {
    warning("the fitted A is singular: M and t cannot be had (they are NA)", call. = FALSE)
  }
  structure(list(
    M = .square(r$M, k),
    t = .vector(r$t, k),
    A = .square(r$A, k),
    b = .vector(r$b, k),
    criterion = r$criterion,
    criterion_at_identity = r$criterion_at_identity,
    criterion_at_start = r$criterion_at_start,
    search = r$search,
    n_items = as.integer(r$items),
    points = as.integer(r$points),
    items = .item_frame(r$item_diagnostics, k, f$labels),
    excluded = as.integer(r$excluded),
    se = .standard_errors(r$standard_errors, k),
    settings = list(method = method, dimension = k, grid = grid,
                    range = as.double(range), weights = weights, from_metric = from_metric,
                    to_metric = to_metric, search = s, threads = threads,
                    se = wanted$errors,
                    replications = if (wanted$errors == "bootstrap") wanted$replications,
                    seed = if (wanted$errors == "bootstrap") wanted$seed,
                    drift_cutoff = if (diagnostics) wanted$drift_cutoff),
    messages = if (nzchar(r$message)) strsplit(r$message, "\n", fixed = TRUE)[[1L]]
               else character(),
    conversion_problems = r$conversion_problems,
    seconds = r$seconds
  ), class = "torvak_link")
}

.dimension_names <- function(k) paste0("theta", seq_len(k))

coef.torvak_link <- function(object, ...) {
  k <- nrow(object$M)
  out <- cbind(object$M, object$t)
  dimnames(out) <- list(.dimension_names(k), c(.dimension_names(k), "t"))
  out
}

.describe <- function(x) {
  s <- x$settings
  where <- if (s$grid > 0L) {
    sprintf("a grid of %d points (%d per dimension, %g to %g)", x$points, s$grid, s$range[1L],
            s$range[2L])
  } else {
    sprintf("%d theta points", x$points)
  }
  out <- sprintf("Link by %s in %d dimension%s: %d common items, %s", .method_names[[s$method]],
                 s$dimension, if (s$dimension == 1L) "" else "s", x$n_items, where)
  if (length(x$excluded)) {
    out <- paste0(out, sprintf("\nexcluded item%s %s", if (length(x$excluded) > 1L) "s" else "",
                               paste(x$excluded, collapse = ", ")))
  }
  out
}

# cbind(M, t) of the standard errors, or of a bound of their interval.
.error_table <- function(M, t) {
  k <- nrow(M)
  out <- cbind(M, t)
  dimnames(out) <- list(.dimension_names(k), c(.dimension_names(k), "t"))
  out
}

.print_errors <- function(se, digits) {
  if (is.null(se)) return(invisible())
  cat(sprintf("Standard errors (%s, %d replications%s%s):\n", se$method, se$replications,
              if (se$failed > 0L) sprintf(", %d failed", se$failed) else "",
              if (!is.null(se$seed)) sprintf(", seed %s", format(se$seed, scientific = FALSE))
              else ""))
  print(.error_table(se$M, se$t), digits = digits)
}

# The drift flags: which items (by row name when they have one) are above the cutoff.
.print_flags <- function(items, cutoff) {
  if (is.null(cutoff) || nrow(items) == 0L) return(invisible())
  flagged <- items[items$flagged, , drop = FALSE]
  names <- if (.row_names_info(items) > 0L) rownames(flagged) else flagged$item
  cat(sprintf("Items with RMSD above %g: %s\n", cutoff,
              if (nrow(flagged)) paste(names, collapse = ", ") else "none"))
}

print.torvak_link <- function(x, digits = max(4L, getOption("digits") - 2L), ...) {
  cat(.describe(x), "\n", sep = "")
  cat("theta_To = M theta_From + t\n")
  print(coef(x), digits = digits)
  cat(sprintf("criterion %s (at the identity %s)\n", format(x$criterion, digits = digits),
              format(x$criterion_at_identity, digits = digits)))
  .print_errors(x$se, digits)
  .print_flags(x$items, x$settings$drift_cutoff)
  invisible(x)
}

summary.torvak_link <- function(object, ...) {
  criteria <- c(identity = object$criterion_at_identity, start = object$criterion_at_start,
                end = object$criterion)
  criteria <- criteria[!is.na(criteria)]  # least squares has no starting point
  structure(list(description = .describe(object), coefficients = coef(object),
                 inverse = cbind(object$A, object$b), criteria = criteria,
                 search = object$search, settings = object$settings,
                 messages = object$messages, seconds = object$seconds, se = object$se,
                 items = object$items),
            class = "summary.torvak_link")
}

print.summary.torvak_link <- function(x, digits = max(4L, getOption("digits") - 2L), ...) {
  k <- nrow(x$coefficients)
  cat(x$description, "\n", sep = "")
  s <- x$settings
  cat(sprintf("weights %s, From metric %s, To metric %s\n", s$weights, s$from_metric,
              s$to_metric))
  cat("\ntheta_To = M theta_From + t\n")
  print(x$coefficients, digits = digits)
  cat("\ntheta_From = A theta_To + b\n")
  inverse <- x$inverse
  dimnames(inverse) <- list(.dimension_names(k), c(.dimension_names(k), "b"))
  print(inverse, digits = digits)
  cat("\nCriterion:\n")
  print(x$criteria, digits = digits)
  if (!is.null(x$search)) {
    se <- x$search
    ending <- c("small gradient", "small change", "cycles ran out or stopped")
    cat(sprintf(paste0("\nSearch (%s, tolerance %g): %s after %s cycles, %s steps, %s ",
                       "evaluations%s\n"),
                s$search$method, s$search$tolerance,
                if (se$status %in% 1:3) ending[se$status] else paste("status", se$status),
                format(se$cycles), format(se$steps), format(se$evaluations),
                if (isTRUE(se$restarted)) ", restarted from the identity" else ""))
  }
  if (!is.null(x$se)) {
    cat("\n")
    .print_errors(x$se, digits)
    if (!is.null(x$se$M_lower)) {
      cat("2.5 % quantile of the replications:\n")
      print(.error_table(x$se$M_lower, x$se$t_lower), digits = digits)
      cat("97.5 % quantile of the replications:\n")
      print(.error_table(x$se$M_upper, x$se$t_upper), digits = digits)
    }
  }
  if (!is.null(s$drift_cutoff) && nrow(x$items)) {
    cat("\n")
    .print_flags(x$items, s$drift_cutoff)
    flagged <- x$items[x$items$flagged, c("item", "rmsd", "max_difference", "share"),
                       drop = FALSE]
    if (nrow(flagged)) print(flagged, digits = digits)
  }
  if (length(x$messages)) cat("\nMessages:\n", paste0("  ", x$messages, "\n"), sep = "")
  cat(sprintf("\n%.3g seconds\n", x$seconds))
  invisible(x)
}
