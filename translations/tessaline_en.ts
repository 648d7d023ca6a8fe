<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Sobre o Tessaline</source>
        <translation>About Tessaline</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CAdvancedConfigDlg</name>
    <message>
        <source>Baixa Velocidade(Alta Qualidade)</source>
        <translation>Low speed (high quality)</translation>
    </message>
    <message>
        <source>Velocidade Média ( Boa Qualidade )</source>
        <translation>Medium speed (good quality)</translation>
    </message>
    <message>
        <source>Alta Velocidade (Baixa Qualidade)</source>
        <translation>High speed (low quality)</translation>
    </message>
    <message>
        <source>Pixel por 1000mm:</source>
        <translation>Pixels per 1000 mm:</translation>
    </message>
    <message>
        <source>Y-Step Values:</source>
        <translation>Y step:</translation>
    </message>
    <message>
        <source>Area impressão</source>
        <translation>Print area</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>Configurar velocidade impressão</source>
        <translation>Set the print speed</translation>
    </message>
    <message>
        <source>Configuração USB</source>
        <translation>USB settings</translation>
    </message>
    <message>
        <source>Volume de dados:</source>
        <translation>Data packet size:</translation>
    </message>
    <message>
        <source>Tempo Limite:</source>
        <translation>Timeout:</translation>
    </message>
</context>
<context>
    <name>CFileView</name>
    <message>
        <source>Task Status</source>
        <translation>Task status</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Plotting Counter</source>
        <translation>Copies left</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>More Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Plotar(&amp;P)</source>
        <translation>&amp;Plot</translation>
    </message>
    <message>
        <source>Abortar(&amp;A)</source>
        <translation>&amp;Abort</translation>
    </message>
    <message>
        <source>Apagar(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>Previsualizar(&amp;P)</source>
        <translation>Pre&amp;view</translation>
    </message>
    <message>
        <source>Output(&amp;O) Previsualizar</source>
        <translation>&amp;Output preview</translation>
    </message>
    <message>
        <source>Sect(&amp;S) Previsualizar</source>
        <translation>&amp;Section preview</translation>
    </message>
    <message>
        <source>Final(&amp;F) Visualizar</source>
        <translation>&amp;Final view</translation>
    </message>
    <message>
        <source>Mover para cima(&amp;U)</source>
        <translation>Move &amp;up</translation>
    </message>
    <message>
        <source>Mover para baixo(&amp;D)</source>
        <translation>Move do&amp;wn</translation>
    </message>
    <message>
        <source>Adicionar + 1 plotagem(&amp;A)</source>
        <translation>Add one &amp;copy</translation>
    </message>
    <message>
        <source>Remover -1 plotagem (&amp;S)</source>
        <translation>Remove one cop&amp;y</translation>
    </message>
    <message>
        <source>打印文件(*.plt *.hpg *.pla *.hpgl *.PRT)</source>
        <extracomment>The filter of the file-open dialog: the patterns in brackets must stay as they are.</extracomment>
        <translation>Plot files (*.plt *.hpg *.pla *.hpgl *.PRT)</translation>
    </message>
    <message>
        <source>Not a plot file: %1</source>
        <translation>Not a plot file: %1</translation>
    </message>
    <message>
        <source>Cannot add %1 to the task folder</source>
        <translation>Cannot add %1 to the task folder</translation>
    </message>
    <message>
        <source>The task folder %1 is served by this program now.</source>
        <translation>This program now serves the task folder %1.</translation>
    </message>
    <message>
        <source>&amp;Operations</source>
        <translation>&amp;Operations</translation>
    </message>
</context>
<context>
    <name>CJobInfoProbe</name>
    <message>
        <source>the file report could not be made (exit status %1)</source>
        <translation>the file report could not be made (exit status %1)</translation>
    </message>
</context>
<context>
    <name>CJobToolTip</name>
    <message>
        <source>Reading the file…</source>
        <translation>Reading the file…</translation>
    </message>
    <message>
        <source>The file cannot be inspected: %1</source>
        <translation>The file cannot be inspected: %1</translation>
    </message>
    <message>
        <source>Paper length: %1 m, printed folded</source>
        <translation>Paper length: %1 m, printed folded</translation>
    </message>
    <message>
        <source>Paper length: %1 m, not folded</source>
        <translation>Paper length: %1 m, not folded</translation>
    </message>
    <message>
        <source>Segments: %1</source>
        <translation>Segments: %1</translation>
    </message>
    <message>
        <source>Estimated print time: %1</source>
        <translation>Estimated print time: %1</translation>
    </message>
    <message>
        <source>Findings:</source>
        <translation>Findings:</translation>
    </message>
    <message>
        <source>%1 (stops printing)</source>
        <translation>%1 (stops printing)</translation>
    </message>
    <message>
        <source>Instructions not handled: %1</source>
        <translation>Instructions not handled: %1</translation>
    </message>
    <message>
        <source>Label characters the font lacks: %1, in %2 labels (%3)</source>
        <translation>Label characters the font lacks: %1, in %2 labels (%3)</translation>
    </message>
    <message>
        <source>Records outside the printable width of %1 m: %2 right of it, %3 left of it, %4 before the paper&apos;s start</source>
        <translation>Records outside the printable width of %1 m: %2 right of it, %3 left of it, %4 before the paper&apos;s start</translation>
    </message>
    <message>
        <source>A right edge of %1 dots, more than the plotter takes (%2): the job would be refused</source>
        <translation>A right edge of %1 dots, more than the plotter takes (%2): the job would be refused</translation>
    </message>
    <message>
        <source>Too large to print</source>
        <translation>Too large to print</translation>
    </message>
    <message>
        <source>The file is empty</source>
        <translation>The file is empty</translation>
    </message>
    <message>
        <source>Not a plot file</source>
        <translation>Not a plot file</translation>
    </message>
    <message>
        <source>The file holds no drawing</source>
        <translation>The file holds no drawing</translation>
    </message>
    <message>
        <source>Message: %1</source>
        <translation>Message: %1</translation>
    </message>
</context>
<context>
    <name>CMainConfigDlg</name>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Plotting</source>
        <translation>Plotting</translation>
    </message>
    <message>
        <source>Others</source>
        <translation>Others</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>Um trabalho começou a ser plotado: as configurações não foram salvas. Abra as configurações de novo depois do trabalho.</source>
        <translation>A job has started plotting: the settings were not saved. Open the settings again once the job is done.</translation>
    </message>
    <message>
        <source>Configurações não salvas. Corrija os valores:</source>
        <translation>The settings were not saved. Correct these values:</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Abrir(&amp;O)</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>Adicionar arquivo</source>
        <translation>Add a plot file to the queue</translation>
    </message>
    <message>
        <source>Add files</source>
        <translation>Add files</translation>
    </message>
    <message>
        <source>Iniciar Plotagem(&amp;T)</source>
        <translation>S&amp;tart plotting</translation>
    </message>
    <message>
        <source>Iniciar plotagem</source>
        <translation>Start plotting</translation>
    </message>
    <message>
        <source>Atualizar Configurações(&amp;U)</source>
        <translation>&amp;Update settings</translation>
    </message>
    <message>
        <source>Enviar configurações para a plotter</source>
        <translation>Send the settings to the plotter</translation>
    </message>
    <message>
        <source>Sair(&amp;S)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>Para a plotagem atual; Save the task</source>
        <translation>Stop the current plot and close the program</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>+20%	 Shift  A</source>
        <translation>Zoom in 20%	Shift+A</translation>
    </message>
    <message>
        <source>Zoom no arquivo</source>
        <translation>Zoom in on the plot</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>-20%	 Shift  Z</source>
        <translation>Zoom out 20%	Shift+Z</translation>
    </message>
    <message>
        <source>Zoom menor</source>
        <translation>Zoom out of the plot</translation>
    </message>
    <message>
        <source>100%	 Shift  1</source>
        <translation>100%	Shift+1</translation>
    </message>
    <message>
        <source>50%	 Shift  5</source>
        <translation>50%	Shift+5</translation>
    </message>
    <message>
        <source>Visualizar com escala(&amp;D)</source>
        <translation>View to &amp;scale</translation>
    </message>
    <message>
        <source>Exibe o arquivo selecionado</source>
        <translation>Show the selected file</translation>
    </message>
    <message>
        <source>Configurações(&amp;C)</source>
        <translation>&amp;Settings...</translation>
    </message>
    <message>
        <source>Configura os parametros da plotter</source>
        <translation>Set the plotter&apos;s parameters</translation>
    </message>
    <message>
        <source>Customize</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Sobre(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>Exibe o numero da versão</source>
        <translation>Show the version number</translation>
    </message>
    <message>
        <source>About this Software</source>
        <translation>About this program</translation>
    </message>
    <message>
        <source>Plotar(&amp;P)</source>
        <translation>&amp;Plot</translation>
    </message>
    <message>
        <source>Plota o arquivo selecionado</source>
        <translation>Plot the selected file</translation>
    </message>
    <message>
        <source>Abortar(&amp;A)</source>
        <translation>&amp;Abort</translation>
    </message>
    <message>
        <source>Aborta a plotagem </source>
        <translation>Abort the plot</translation>
    </message>
    <message>
        <source>Adicionar + 1 plotagem(&amp;A)</source>
        <translation>Add one &amp;copy</translation>
    </message>
    <message>
        <source>Incrementa o tempo de plotagem</source>
        <translation>Print one more copy of the selected job</translation>
    </message>
    <message>
        <source>Increase times</source>
        <translation>One more copy</translation>
    </message>
    <message>
        <source>Remover -1 plotagem (&amp;S)</source>
        <translation>Remove one cop&amp;y</translation>
    </message>
    <message>
        <source>Diminui o tempo de plotagem</source>
        <translation>Print one copy fewer of the selected job</translation>
    </message>
    <message>
        <source>Decrease times</source>
        <translation>One copy fewer</translation>
    </message>
    <message>
        <source>Output(&amp;O) Previsualizar</source>
        <translation>&amp;Output preview</translation>
    </message>
    <message>
        <source>Previsualiza o arquivo plotado</source>
        <translation>Preview the plotted output</translation>
    </message>
    <message>
        <source>Preview output</source>
        <translation>Preview output</translation>
    </message>
    <message>
        <source>Visualizar(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>Visualizar(&amp;A)</source>
        <translation>&amp;Zoom</translation>
    </message>
    <message>
        <source>Configurações(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>Ajuda(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>The printing task is running, please waiting or cancel the task!</source>
        <translation>A job is plotting. Wait for it to finish or abort it first.</translation>
    </message>
    <message>
        <source>please waiting or cancel the task!</source>
        <translation>Wait for the job to finish or abort it first.</translation>
    </message>
</context>
<context>
    <name>CMarquellApp</name>
    <message numerus="yes">
        <source>%n file(s) were copied into its task folder %1.</source>
        <translation>
            <numerusform>%n file was copied into its task folder %1.</numerusform>
            <numerusform>%n files were copied into its task folder %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>COthersConfigDlg</name>
    <message>
        <source>Selecione o diretório de trabalho:</source>
        <translation>Task folder:</translation>
    </message>
    <message>
        <source>Selecionar</source>
        <translation>Choose...</translation>
    </message>
    <message>
        <source>Configuração da fonte</source>
        <translation>Label font</translation>
    </message>
    <message>
        <source>Tamanho da fonte:</source>
        <translation>Font size:</translation>
    </message>
    <message>
        <source>请选择工作目录</source>
        <translation>Choose the task folder</translation>
    </message>
    <message>
        <source>未指定工作目录!</source>
        <translation>No task folder was chosen.</translation>
    </message>
</context>
<context>
    <name>CParamConfigDlg</name>
    <message>
        <source>Origin Point:</source>
        <translation>Origin point:</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>Ajuste de Escala</source>
        <translation>Scale calibration</translation>
    </message>
    <message>
        <source>X-Plotado:</source>
        <translation>X plotted:</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>Y-Plotado:</source>
        <translation>Y plotted:</translation>
    </message>
    <message>
        <source>X-Real:</source>
        <translation>X measured:</translation>
    </message>
    <message>
        <source>Y-Real:</source>
        <translation>Y measured:</translation>
    </message>
    <message>
        <source>Espelhar</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <source>Plotar Automatico</source>
        <translation>Plot automatically</translation>
    </message>
    <message>
        <source>Rotacionar 90 Graus</source>
        <translation>Rotate 90 degrees</translation>
    </message>
    <message>
        <source>Horario</source>
        <translation>Clockwise</translation>
    </message>
    <message>
        <source>Ante horario</source>
        <translation>Counter-clockwise</translation>
    </message>
    <message>
        <source>Fator de junção</source>
        <translation>Junction factor</translation>
    </message>
    <message>
        <source>Usar fator de junção</source>
        <translation>Use the junction factor</translation>
    </message>
    <message>
        <source>Decreasement</source>
        <translation>Subtract</translation>
    </message>
    <message>
        <source>Definir</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>HPP</source>
        <translation>HPP</translation>
    </message>
</context>
<context>
    <name>CSettingsCheck</name>
    <message>
        <source>%1: o valor deve estar entre -%2 e %2 HPP.</source>
        <translation>%1: the value must lie between -%2 and %2 HPP.</translation>
    </message>
    <message>
        <source>%1: o comprimento deve ser um número positivo.</source>
        <translation>%1: the length must be a positive number.</translation>
    </message>
    <message>
        <source>%1 / %2: a escala resultante é inválida.</source>
        <translation>%1 / %2: the resulting scale is not valid.</translation>
    </message>
    <message>
        <source>Espessura Linha: o valor deve estar entre %1 e %2 HPP.</source>
        <translation>Line width: the value must lie between %1 and %2 HPP.</translation>
    </message>
    <message>
        <source>Offset No.%1</source>
        <translation>Offset No.%1</translation>
    </message>
    <message>
        <source>OffsetCorrect No.%1</source>
        <translation>Offset correction No.%1</translation>
    </message>
    <message>
        <source>Espessura Cabeça</source>
        <translation>Head width</translation>
    </message>
    <message>
        <source>Pixel por 1000mm: o valor máximo é %1.</source>
        <translation>Pixels per 1000 mm: the largest value is %1.</translation>
    </message>
    <message>
        <source>Y-Step Values: o valor multiplicado pela quantidade de cartuchos excede o limite.</source>
        <translation>Y step: the value times the number of cartridges exceeds the limit.</translation>
    </message>
    <message>
        <source>Origin Point: o valor em pontos excede o limite.</source>
        <translation>Origin point: the value in dots exceeds the limit.</translation>
    </message>
    <message>
        <source>X-Plotado</source>
        <translation>X plotted</translation>
    </message>
    <message>
        <source>X-Real</source>
        <translation>X measured</translation>
    </message>
    <message>
        <source>Y-Plotado</source>
        <translation>Y plotted</translation>
    </message>
    <message>
        <source>Y-Real</source>
        <translation>Y measured</translation>
    </message>
    <message>
        <source>Selecione o diretório de trabalho: o sistema não aceita este caminho (no máximo %1 bytes, %2 por nome, numa só linha).</source>
        <translation>Task folder: the system does not accept this path (at most %1 bytes, %2 per name, on one line).</translation>
    </message>
</context>
<context>
    <name>CStatusBar</name>
    <message>
        <source>Exibe o progresso da tarefa.............</source>
        <extracomment>Under the progress bar; sets its width.</extracomment>
        <translation>Shows the progress of the job...........</translation>
    </message>
    <message>
        <source>Offline  </source>
        <extracomment>Width of the link pane: &quot;Online&quot; or &quot;Offline&quot;.</extracomment>
        <translation>Offline  </translation>
    </message>
    <message>
        <source>Waiting  </source>
        <extracomment>Width of the task pane: &quot;Waiting&quot;, &quot;Plotting&quot; or &quot;Finished&quot;.</extracomment>
        <translation>Finished  </translation>
    </message>
    <message>
        <source>Pause  </source>
        <extracomment>Width of the plotter pane: &quot;Stopped&quot;, &quot;Plot&quot; or &quot;结束&quot;.</extracomment>
        <translation>Plotting  </translation>
    </message>
    <message>
        <source>Pronto</source>
        <translation>Ready</translation>
    </message>
</context>
<context>
    <name>CSystemConfigDlg</name>
    <message>
        <source> No.1</source>
        <translation> No.1</translation>
    </message>
    <message>
        <source>No.2</source>
        <translation>No.2</translation>
    </message>
    <message>
        <source>No.3</source>
        <translation>No.3</translation>
    </message>
    <message>
        <source>No.4</source>
        <translation>No.4</translation>
    </message>
    <message>
        <source>Um</source>
        <translation>One</translation>
    </message>
    <message>
        <source>Dois</source>
        <translation>Two</translation>
    </message>
    <message>
        <source>Tres</source>
        <translation>Three</translation>
    </message>
    <message>
        <source>Quatro</source>
        <translation>Four</translation>
    </message>
    <message>
        <source>Espessura Linha:</source>
        <translation>Line width:</translation>
    </message>
    <message>
        <source>HPP</source>
        <translation>HPP</translation>
    </message>
    <message>
        <source>Quantidade de cartuchos</source>
        <translation>Number of cartridges</translation>
    </message>
    <message>
        <source>Habilitar         Offset                 OffsetCorrect</source>
        <translation>Enable           Offset                 Offset correction</translation>
    </message>
    <message>
        <source>Espessura Cabeça</source>
        <translation>Head width</translation>
    </message>
    <message>
        <source>Compressed</source>
        <translation>Compressed</translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>Informação</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>Invalid</source>
        <translation>Not possible</translation>
    </message>
    <message>
        <source>The plotter is working. Please waiting for this plotting task finished!</source>
        <translation>The plotter is busy with this job. Wait until it has finished.</translation>
    </message>
    <message>
        <source>The printer is not connected, you cannot update the configuration.</source>
        <translation>The plotter is not connected: the settings cannot be updated.</translation>
    </message>
    <message>
        <source>通信不可靠，请检查USB线路! 需要继续重试，请选择YES</source>
        <extracomment>Asked after five bad checksums in a row; Yes sends the segment again, No gives the job up.</extracomment>
        <translation>The communication is unreliable: check the USB cable. To keep trying, choose Yes.</translation>
    </message>
    <message>
        <source>创建日志文件失败！</source>
        <translation>The log file could not be created.</translation>
    </message>
    <message>
        <source>打印数据尺寸超出范围，无法打印！</source>
        <translation>The print data is too large: the job cannot be plotted.</translation>
    </message>
    <message>
        <source>打印压缩缓冲区分配失败！</source>
        <translation>The print compression buffer could not be allocated.</translation>
    </message>
    <message>
        <source>喷头配置有误，请检查！</source>
        <translation>The head configuration is wrong. Please check it.</translation>
    </message>
    <message>
        <source>数据段宽度有误！</source>
        <translation>The data segment width is wrong.</translation>
    </message>
    <message>
        <source>字体不支持</source>
        <extracomment>The label font has outlines of a kind the program cannot draw (cubic curves).</extracomment>
        <translation>The label font is not supported.</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>the file cannot be read</translation>
    </message>
    <message>
        <source>the file was not found</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>the file was not found</translation>
    </message>
    <message>
        <source>its print data cannot be allocated</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>its print data cannot be allocated</translation>
    </message>
    <message>
        <source>it holds none of the settings</source>
        <extracomment>Why config.ini was not read: the file has none of the program&apos;s sections.</extracomment>
        <translation>it holds none of the settings</translation>
    </message>
    <message>
        <source>the file could not be read</source>
        <extracomment>Why config.ini was not read.</extracomment>
        <translation>the file could not be read</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <extracomment>Why config.ini was not saved.</extracomment>
        <translation>the file could not be written</translation>
    </message>
    <message>
        <source>another program</source>
        <extracomment>Who holds the lock of a task folder or a log, when it does not say its name.</extracomment>
        <translation>another program</translation>
    </message>
    <message>
        <source>Cannot plot %1: %2</source>
        <extracomment>%1: the plot file, %2: the reason.</extracomment>
        <translation>Cannot plot %1: %2</translation>
    </message>
    <message>
        <source>The settings were not saved to %1: %2</source>
        <extracomment>%1: config.ini with its path, %2: the reason.</extracomment>
        <translation>The settings were not saved to %1: %2</translation>
    </message>
    <message>
        <source>The settings in %1 were not read (%2); the program runs on the default settings</source>
        <extracomment>%1: config.ini with its path, %2: the reason.</extracomment>
        <translation>The settings in %1 were not read (%2); the program runs on the default settings</translation>
    </message>
    <message>
        <source>The task folder %1 is served by %2; this program does not print from it while that one runs.</source>
        <extracomment>%1: the task folder, %2: the program that serves it.</extracomment>
        <translation>The task folder %1 is served by %2; this program does not print from it while that one runs.</translation>
    </message>
    <message>
        <source>The task folder %1 cannot be served: %2</source>
        <extracomment>%1: the task folder, %2: the reason.</extracomment>
        <translation>The task folder %1 cannot be served: %2</translation>
    </message>
    <message>
        <source>Tessaline already runs with these settings: %1 writes the log %2.</source>
        <extracomment>%1: the program already running, %2: its log file.</extracomment>
        <translation>Tessaline is already running with these settings: %1 writes the log %2.</translation>
    </message>
    <message>
        <source>The log %1 cannot be locked: %2</source>
        <extracomment>%1: the log file, %2: the reason.</extracomment>
        <translation>The log %1 cannot be locked: %2</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <extracomment>%1: a program&apos;s name, %2: its process number.</extracomment>
        <translation>%1 (process %2)</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <extracomment>A reason. %1: a lock file, %2: the system&apos;s error text.</extracomment>
        <translation>cannot open %1: %2</translation>
    </message>
    <message>
        <source>cannot lock %1: %2</source>
        <extracomment>A reason. %1: a lock file, %2: the system&apos;s error text.</extracomment>
        <translation>cannot lock %1: %2</translation>
    </message>
    <message>
        <source>the file is empty: it holds no drawing</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>the file is empty: it holds no drawing</translation>
    </message>
    <message>
        <source>the file is too large to plot</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>the file is too large to plot</translation>
    </message>
    <message>
        <source>not a plot file: it holds no drawing</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;.</extracomment>
        <translation>not a plot file: it holds no drawing</translation>
    </message>
    <message>
        <source>the file holds no drawing</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;: the file has plot instructions but nothing is drawn.</extracomment>
        <translation>the file holds no drawing</translation>
    </message>
    <message>
        <source>the task folder is missing</source>
        <extracomment>Why a printed file or a deleted row&apos;s file stays: the share or folder it was in is gone.</extracomment>
        <translation>the task folder is missing</translation>
    </message>
    <message>
        <source>not a folder</source>
        <extracomment>Why the task folder cannot be created: a file of that name is in the way.</extracomment>
        <translation>not a folder</translation>
    </message>
    <message>
        <source>the file was replaced by a new version</source>
        <extracomment>Why a printed file was kept: it was overwritten while it printed.</extracomment>
        <translation>the file was replaced by a new version</translation>
    </message>
    <message>
        <source>it changed since it was listed</source>
        <extracomment>Why a file was kept by Delete: it was overwritten after the operator saw it.</extracomment>
        <translation>it changed since it was listed</translation>
    </message>
    <message>
        <source>the file cannot be read (%1)</source>
        <extracomment>A reason in &quot;Cannot plot %1: %2&quot;. %1: the system&apos;s error text.</extracomment>
        <translation>the file cannot be read (%1)</translation>
    </message>
    <message>
        <source>The task folder %1 is missing: no job starts until it is back</source>
        <extracomment>%1: the task folder (a share that went away or a folder removed).</extracomment>
        <translation>The task folder %1 is missing: no job starts until it is back</translation>
    </message>
    <message>
        <source>The task folder %1 is back</source>
        <extracomment>%1: the task folder.</extracomment>
        <translation>The task folder %1 is back</translation>
    </message>
    <message>
        <source>Cannot create the task folder %1: %2</source>
        <extracomment>%1: the task folder, %2: the reason.</extracomment>
        <translation>Cannot create the task folder %1: %2</translation>
    </message>
    <message>
        <source>Cannot list the task folder %1: %2</source>
        <extracomment>%1: the task folder, %2: the system&apos;s error text.</extracomment>
        <translation>Cannot list the task folder %1: %2</translation>
    </message>
    <message>
        <source>Cannot save the queue state in %1: %2</source>
        <extracomment>%1: the queue&apos;s state file&apos;s folder, %2: the system&apos;s error text.</extracomment>
        <translation>Cannot save the queue state in %1: %2</translation>
    </message>
    <message>
        <source>Kept %1: %2; queued as a new job</source>
        <extracomment>%1: a plot file, %2: why it was kept.</extracomment>
        <translation>Kept %1: %2; queued as a new job</translation>
    </message>
    <message>
        <source>%1 changed since it was listed; it was kept as a new job.</source>
        <extracomment>Delete found the file overwritten. %1: the plot file.</extracomment>
        <translation>%1 changed since it was listed; it was kept as a new job.</translation>
    </message>
    <message>
        <source>Plotted %1, but the file cannot be removed: %2</source>
        <extracomment>%1: the plot file, %2: the reason.</extracomment>
        <translation>Plotted %1, but the file cannot be removed: %2</translation>
    </message>
    <message>
        <source>Cannot delete %1: %2</source>
        <extracomment>%1: the plot file, %2: the reason.</extracomment>
        <translation>Cannot delete %1: %2</translation>
    </message>
    <message>
        <source>Cannot add %1: %2</source>
        <extracomment>Open could not copy a file into the task folder. %1: the file, %2: the reason.</extracomment>
        <translation>Cannot add %1: %2</translation>
    </message>
    <message>
        <source>the task folder %1 is not there</source>
        <extracomment>A reason in &quot;Cannot add %1: %2&quot;. %1: the task folder.</extracomment>
        <translation>the task folder %1 is not there</translation>
    </message>
</context>
<context>
    <name>StatusPane</name>
    <message>
        <source>Online</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>Waiting</source>
        <extracomment>The task: no job prints.</extracomment>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>Plotting</source>
        <extracomment>The task: a job prints.</extracomment>
        <translation>Plotting</translation>
    </message>
    <message>
        <source>Finished</source>
        <extracomment>The task: the last job has ended.</extracomment>
        <translation>Finished</translation>
    </message>
    <message>
        <source>Stopped</source>
        <extracomment>The plotter: not printing (at start-up).</extracomment>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>Plot</source>
        <extracomment>The plotter: printing a job.</extracomment>
        <translation>Plotting</translation>
    </message>
    <message>
        <source>结束</source>
        <extracomment>The plotter: the last copy of a job is printed and the job is gone from the list.</extracomment>
        <translation>Done</translation>
    </message>
</context>
<context>
    <name>TaskRow</name>
    <message>
        <source>Not plot</source>
        <extracomment>Held: never started automatically.</extracomment>
        <translation>Held</translation>
    </message>
    <message>
        <source>Waitting</source>
        <extracomment>Queued: a new file while automatic plotting is on.</extracomment>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>Waiting</source>
        <extracomment>Queued: by the Plot command, or a printed job with copies left.</extracomment>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>Plotting</source>
        <translation>Plotting</translation>
    </message>
    <message>
        <source>the print did not complete</source>
        <extracomment>Details of a row held because its print stopped before the end.</extracomment>
        <translation>the print did not complete</translation>
    </message>
    <message>
        <source>the file is still arriving</source>
        <extracomment>Details of a new row whose size or time still changes (a copy over the network in progress).</extracomment>
        <translation>the file is still arriving</translation>
    </message>
    <message>
        <source>interrupted</source>
        <extracomment>Details of a row that was printing when the program ended: how much was printed is unknown.</extracomment>
        <translation>interrupted</translation>
    </message>
    <message>
        <source>the file holds no drawing</source>
        <extracomment>Details of a row whose file has plot instructions but nothing drawn.</extracomment>
        <translation>the file holds no drawing</translation>
    </message>
    <message>
        <source>the file was replaced by a new version</source>
        <extracomment>Details of a row whose file was overwritten while it printed; the new version is a new job.</extracomment>
        <translation>the file was replaced by a new version</translation>
    </message>
    <message>
        <source>plotted; the file cannot be removed (%1)</source>
        <extracomment>Details of a printed row whose file stays. %1: the reason.</extracomment>
        <translation>plotted; the file cannot be removed (%1)</translation>
    </message>
</context>
</TS>
